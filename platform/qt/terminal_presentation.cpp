#include "platform/qt/terminal_presentation.h"

namespace vantrel::qt {

TerminalPresentation::TerminalPresentation(std::FILE* out) : out_(out) {}

void TerminalPresentation::add(const IconTarget&, platform::IconHandle, std::string_view) {}

void TerminalPresentation::remove() {}

void TerminalPresentation::set_tooltip(std::string_view text) {
    if (text == tooltip_) return;
    tooltip_ = text;
    write_line({"tooltip", text});
}

void TerminalPresentation::show_balloon(std::string_view title, std::string_view text, uint32_t kind) {
    write_line({kind == platform::kBalloonWarning ? "warning" : "notice", title, text});
}

// The tooltip line already holds the total.
void TerminalPresentation::show_load(int32_t, uint32_t) {}

void TerminalPresentation::write_line(std::initializer_list<std::string_view> fields) {
    std::string line;
    for (const std::string_view field : fields) {
        if (!line.empty()) line += '\t';
        for (const char c : field) {
            const auto byte = static_cast<unsigned char>(c);
            line += byte < 0x20 || byte == 0x7F ? ' ' : c;
        }
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out_);
    std::fflush(out_);
}

}  // namespace vantrel::qt
