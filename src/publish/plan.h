#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "publish/manifest.h"

// The plan of a publish: from what the output folder holds, what the manifest says the last
// publishes put on the server, what the server lists and what the new index links, the
// steps that bring the site to the new pages with the live site whole at every moment. A pure
// function: nothing here touches a file or the network.
namespace vb::publish {

// The page every visitor starts from; uploaded last.
inline constexpr std::string_view kIndexName = "index.html";

struct LocalFile {
    std::string name;
    std::uint64_t size = 0;
    std::string sha256;  // Sha256Hex of its bytes
};

enum class StepKind {
    Upload,   // straight to its name: nothing links a new name yet
    Replace,  // to the temporary name, then renamed over the name
    Delete,
};

struct Step {
    StepKind kind = StepKind::Upload;
    std::string name;
    std::string temporary;      // Replace: the name uploaded first, unused on the server
    bool replacesFile = false;  // Replace, Delete: the server lists a file of the name now
};

struct PlanInput {
    std::vector<LocalFile> local;     // the output folder's files
    Manifest manifest;                // the last one (an empty one when there is none)
    std::string destination;          // Destination() of this publish
    std::vector<std::string> remote;  // the remote folder's names as the server lists them
    std::vector<std::string> links;   // LinkedNames() of the new index
};

struct Plan {
    // Not empty: the publish must not start. Says why, naming the first file concerned.
    std::string refusal;
    // The phases, in their order; each phase's steps may run side by side, and a phase starts
    // when the one before it has ended without a failure.
    std::vector<Step> uploads;       // new names
    std::vector<Step> replacements;  // names the site has, but for the index
    std::vector<Step> index;         // the index, when it is new or changed
    std::vector<Step> deletions;     // ours, and neither in the output folder nor linked
    std::size_t kept = 0;            // files the server has as they are: not sent
    // What the manifest of this destination knows: the manifest the publish starts from.
    Manifest base;
};

Plan MakePlan(const PlanInput& input);

// The names of the files in the page's own folder that its href and src attributes name:
// relative, without a folder, their "#…" and "?…" taken off, "&amp;" and %XX decoded.
// Addresses with a scheme, a folder or a leading '/' are not files of the folder.
std::vector<std::string> LinkedNames(std::string_view html);

// A name as a server's listing gives it, without the folder some servers put before it;
// empty for "." and "..".
std::string ListedName(std::string_view listed);

}  // namespace vb::publish
