// The About box: the program's icon, its name and version, and two credit
// lines.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace vantrel {

// 1 while the About box exists; keeps it to one instance.
extern int32_t aboutOpen;

// The four lines of the box's text into out; returns the length.
std::size_t format_about_text(char* out, std::size_t cap);

intptr_t about_dialog_proc(platform::WindowHandle dialog, uint32_t message, uintptr_t wparam,
                           intptr_t lparam);

}  // namespace vantrel
