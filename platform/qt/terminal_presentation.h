// The terminal stands in for the icon where there is no display or no
// notification area: each change of the tooltip (a cycle that finds the
// total as it was writes nothing) and every balloon is written as one line,
// fields separated by tabs:
//
//   tooltip <TAB> text
//   warning <TAB> title <TAB> text
//   notice  <TAB> title <TAB> text
//
// Control characters in the texts become spaces, so each message is exactly
// one line. Lines are written whether or not the icon is "shown": there is no
// icon to hide.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>

#include "platform/qt/presentation.h"

namespace vantrel::qt {

class TerminalPresentation final : public Presentation {
public:
    explicit TerminalPresentation(std::FILE* out);

    void add(const IconTarget& target, platform::IconHandle icon, std::string_view tooltip) override;
    void remove() override;
    void set_tooltip(std::string_view text) override;
    void show_balloon(std::string_view title, std::string_view text, uint32_t kind) override;
    void show_load(int32_t total, uint32_t level) override;

private:
    void write_line(std::initializer_list<std::string_view> fields);

    std::FILE* out_;
    std::string tooltip_;  // the last one written
};

}  // namespace vantrel::qt
