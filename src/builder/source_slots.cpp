// The source slots of a run: a randomly picked source text, read anew, prepared for the page.
#include "builder/source_slots.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "builder/index_caption.h"
#include "builder/messages.h"
#include "codec/codec.h"
#include "platform/native_path.h"
#include "platform/program_folder.h"
#include "platform/system_error.h"

namespace vb::builder {

std::size_t DrawSourceIndex(std::mt19937& picks, std::size_t count) {
    if (count == 0) throw std::out_of_range("インデックスが有効範囲にありません。");
    const double r = static_cast<double>(picks() & 0xFFFFFFFFu) / 4294967296.0;
    return std::min(count - 1, static_cast<std::size_t>(r * count)) + 1;
}

PreparedSource::PreparedSource(std::string_view bytes, const std::string& path, SlotRules& rules)
    : rules_(rules), path_(path), bytes_(bytes) {
    inCp932_ = rules.inCp932 && PageBytes::Reencode(bytes_, cp932Piece_);
    if (inCp932_) {
        holdsTarget_ = rules.inCp932->HoldsTarget(cp932Piece_);
        if (holdsTarget_) {
            std::string reencoded = std::move(cp932Piece_);
            cp932Piece_.clear();
            rules.inCp932->AppendPrepared(cp932Piece_, reencoded);
        }
    } else {
        holdsTarget_ = rules.replaceTarget.Find(Text()) != std::string::npos;
    }
    // The source is named by its full path, made from the text alone (links stay as they
    // are), however the source folder was typed: relative, with "." or "..", with a
    // trailing separator.
    if (!holdsTarget_) {
        warning_ = msg::kWarnMissingTargetBefore;
        warning_ += platform::LexicalFullPath(path);
        warning_ += msg::kWarnMissingTargetAfter;
    }
}

const std::string& PreparedSource::Text() {
    if (!hasText_) {
        text_ = codec::cp932::Decode(bytes_);
        hasText_ = true;
        Grew();
    }
    return text_;
}

const std::string& PreparedSource::TextPiece() {
    if (!holdsTarget_) return Text();
    if (!hasTextPiece_) {
        std::string scratch;
        AppendPreparedSource(textPiece_, Text(), rules_.replaceTarget, rules_.replaceText, scratch);
        hasTextPiece_ = true;
        Grew();
    }
    return textPiece_;
}

const std::string& PreparedSource::Caption() {
    if (!hasCaption_) {
        // Decoded for the caption alone, the text is not kept when the pages take the
        // source in cp932.
        caption_ = IndexCaption(hasText_ ? text_ : codec::cp932::Decode(bytes_));
        hasCaption_ = true;
        Grew();
    }
    return caption_;
}

std::size_t PreparedSource::HeldBytes() const {
    return sizeof *this + path_.capacity() + bytes_.capacity() + cp932Piece_.capacity() +
           warning_.capacity() + text_.capacity() + textPiece_.capacity() + caption_.capacity();
}

void PreparedSource::Grew() {
    if (KeptPreparations* keeper = keeper_.load()) keeper->Grew(this, keptAt_, HeldBytes());
}

KeptPreparations::~KeptPreparations() {
    for (const auto& made : made_)
        if (made) made->LetGo();  // a page may still hold one
}

std::shared_ptr<PreparedSource> KeptPreparations::Find(std::size_t index) {
    std::lock_guard lock(mutex_);
    outgrown_.clear();
    return made_[index];
}

bool KeptPreparations::Offer(std::size_t index, const std::shared_ptr<PreparedSource>& made) {
    std::lock_guard lock(mutex_);
    if (made_[index]) Release(index);
    made_[index].reset();
    if (heldBytes_ + made->HeldBytes() > kMostHeldBytes) return false;
    made_[index] = made;
    held_[index] = made->HeldBytes();
    heldBytes_ += held_[index];
    made->SetKeeper(this, index);
    return true;
}

void KeptPreparations::Grew(const PreparedSource* made, std::size_t index, std::size_t held) {
    std::lock_guard lock(mutex_);
    if (made_[index].get() != made) return;  // let go meanwhile
    heldBytes_ += held - held_[index];
    held_[index] = held;
    if (heldBytes_ <= kMostHeldBytes) return;
    Release(index);
    outgrown_.push_back(std::move(made_[index]));
}

void KeptPreparations::Release(std::size_t index) {
    made_[index]->LetGo();
    heldBytes_ -= held_[index];
    held_[index] = 0;
}

std::size_t KeptPreparations::HeldNow() const {
    std::lock_guard lock(mutex_);
    std::size_t held = 0;
    for (const auto& made : made_)
        if (made) held += made->HeldBytes();
    return held;
}

SourceSlots::SourceSlots(platform::FileSystemObject& fso, forms::TextBox& txtLog,
                         const std::string& srcPath, const std::vector<std::string>& strFiles,
                         SlotRules& rules, std::mt19937& picks)
    : fso_(fso),
      txtLog_(txtLog),
      folder_(srcPath),
      strFiles_(strFiles),
      rules_(rules),
      picks_(picks),
      kept_(strFiles.size()) {}

std::shared_ptr<PreparedSource> SourceSlots::GetSrcPage() {
    std::shared_ptr<PreparedSource> got = ahead_ ? ahead_->Take() : Pick().pick;
    if (!got->HoldsTarget()) txtLog_.AppendText(got->Warning());
    return got;
}

void SourceSlots::ReadAhead(std::size_t picks, std::size_t mostAhead, std::size_t mostBytes) {
    ahead_.reset();
    ahead_ = std::make_unique<PicksAhead>([this] { return Pick(); }, picks, mostAhead, mostBytes);
}

// Runs on the read-ahead's helper when there is one: it alone draws and reads until the
// helper has stopped; what is kept it shares with the pages' thread, which makes the later
// parts (KeptPreparations takes its lock for both).
PicksAhead::Made SourceSlots::Pick() {
    const std::size_t index = DrawSourceIndex(picks_, strFiles_.empty() ? 0 : strFiles_.size() - 1);
    try {
        const std::string_view bytes = fso_.ReadFileOf(folder_, strFiles_[index]);
        std::shared_ptr<PreparedSource> got = kept_.Find(index);
        if (got && got->Matches(bytes)) return {std::move(got), 0};
        return Remake(index, bytes);
    } catch (const std::bad_alloc&) {
        platform::ThrowFailure("ファイルを読めません。",
                               platform::JoinPath(folder_.Path(), strFiles_[index]),
                               platform::os_error::kOutOfMemory);
    }
}

PicksAhead::Made SourceSlots::Remake(std::size_t index, std::string_view bytes) {
    auto made = std::make_shared<PreparedSource>(
        bytes, platform::JoinPath(folder_.Path(), strFiles_[index]), rules_);
    // Beyond the cap the pick gets it and nothing keeps it: the pick holds it alone.
    if (kept_.Offer(index, made)) return {std::move(made), 0};
    const std::size_t own = made->HeldBytes();
    return {std::move(made), own};
}

}  // namespace vb::builder
