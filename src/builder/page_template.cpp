#include "builder/page_template.h"

#include "builder/text_replace.h"
#include "platform/program_folder.h"

namespace vb::builder {

std::string TemplatePath() {
    return platform::JoinPath(platform::ProgramFolder(), "template.html");
}

namespace {
constexpr std::string_view kTitlePlace = "&&TITLE&&";
constexpr std::string_view kBodyPlace = "&&BODY&&";
}  // namespace

PageTemplate::PageTemplate(std::string_view templateText, std::string_view title) {
    const std::string titled = ReplaceAll(templateText, kTitlePlace, title);
    const std::string_view rest = titled;
    std::size_t from = 0;
    for (std::size_t hit; (hit = rest.find(kBodyPlace, from)) != std::string_view::npos;
         from = hit + kBodyPlace.size()) {
        pieces_.emplace_back(rest.substr(from, hit - from));
    }
    pieces_.emplace_back(rest.substr(from));
    for (const auto& piece : pieces_) fixedSize_ += piece.size();
}

void PageTemplate::Fill(std::string& out, std::string_view body) const {
    out.clear();
    out.reserve(fixedSize_ + body.size() * (pieces_.size() - 1));
    out += pieces_.front();
    for (std::size_t i = 1; i < pieces_.size(); ++i) {
        out += body;
        out += pieces_[i];
    }
}

}  // namespace vb::builder
