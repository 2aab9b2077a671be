#include "builder/index_caption.h"

#include "codec/utf8.h"

namespace vb::builder {

namespace {

constexpr std::size_t kCaptionLength = 40;

// The cleaning steps as a chain of filters over characters. Each removal is a filter that
// holds back the characters that might still start its pattern, so the chain gives what
// the removals one after another would give, and every character it emits is final. That
// lets it stop as soon as 40 characters are out, however long the raw text is.
class CaptionCleaner {
  public:
    bool Full() const { return count_ >= kCaptionLength; }
    std::string Take() { return std::move(out_); }

    void Feed(char32_t c) {
        if (c == U' ' || c == U'\u3000') return;
        RemoveBrTags(c);
    }

    void Finish() {
        FlushBrTag();
        if (pendingCr_) Escape(U'\r');
        pendingCr_ = false;
    }

  private:
    static constexpr char32_t kBr[] = {U'<', U'b', U'r', U'>'};

    void RemoveBrTags(char32_t c) {
        if (c == kBr[brMatched_]) {
            if (++brMatched_ == std::size(kBr)) brMatched_ = 0;  // a whole "<br>": dropped
            return;
        }
        FlushBrTag();  // "<br>" has no repeated start, so a mismatch starts afresh
        if (c == kBr[0]) {
            brMatched_ = 1;
            return;
        }
        RemoveCrLf(c);
    }

    void FlushBrTag() {
        for (std::size_t i = 0; i < brMatched_; ++i) RemoveCrLf(kBr[i]);
        brMatched_ = 0;
    }

    void RemoveCrLf(char32_t c) {
        if (pendingCr_) {
            pendingCr_ = false;
            if (c == U'\n') return;
            Escape(U'\r');
        }
        if (c == U'\r') {
            pendingCr_ = true;
            return;
        }
        Escape(c);
    }

    void Escape(char32_t c) {
        if (c == U'>') {
            Emit("&gt;");
        } else if (c == U'<') {
            Emit("&lt;");
        } else if (!Full()) {
            codec::utf8::Append(out_, c);
            ++count_;
        }
    }

    void Emit(std::string_view ascii) {
        for (char c : ascii) {
            if (Full()) return;
            out_ += c;
            ++count_;
        }
    }

    std::string out_;
    std::size_t count_ = 0;
    std::size_t brMatched_ = 0;
    bool pendingCr_ = false;
};

}  // namespace

std::string IndexCaption(std::string_view raw) {
    CaptionCleaner cleaner;
    for (std::size_t pos = 0; pos < raw.size() && !cleaner.Full();)
        cleaner.Feed(codec::utf8::DecodeAt(raw, pos));
    cleaner.Finish();
    return cleaner.Take();
}

void AppendIndexEntry(std::string& indexBody, std::string_view caption, std::string_view fileName) {
    using codec::utf8::Substr;
    indexBody += Substr(caption, 0, 20);
    indexBody += "<a href='";
    indexBody += fileName;
    indexBody += "'>";
    indexBody += Substr(caption, 20, 10);
    indexBody += "</a>";
    indexBody += Substr(caption, 30, 10);
    indexBody += "<br>\r\n";
}

}  // namespace vb::builder
