#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vb::builder {

// The template file every page is made from, beside the program.
std::string TemplatePath();

// The template with its title filled in, ready to take a body. Filling is the same as
// replacing every "&&TITLE&&" by the title and then every "&&BODY&&" by the body: a
// "&&BODY&&" inside the title takes the body too, while placeholders inside the body are
// left alone. The template is split once, so each page costs one pass over its own bytes.
class PageTemplate {
  public:
    PageTemplate(std::string_view templateText, std::string_view title);

    // Replaces out with the filled page.
    void Fill(std::string& out, std::string_view body) const;

    // True when the template holds "&&BODY&&" exactly once: a filled page is then Head(),
    // the body and Tail(), and can be written straight into one string.
    bool HasOneBodyPlace() const { return pieces_.size() == 2; }
    const std::string& Head() const { return pieces_.front(); }
    const std::string& Tail() const { return pieces_.back(); }
    // The bytes of the titled template without its body placeholders.
    std::size_t FixedSize() const { return fixedSize_; }

  private:
    std::vector<std::string> pieces_;  // the titled template cut at every "&&BODY&&"
    std::size_t fixedSize_ = 0;
};

}  // namespace vb::builder
