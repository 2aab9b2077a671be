#pragma once

#include <optional>
#include <string>

// Handing documents, folders and addresses to the desktop, so that the program the user
// associates with them opens them. Nothing goes through a command shell and nothing waits
// for the started program.
namespace vb::platform {

// Results of DesktopShell::Execute, as the Windows shell gives them: kShellFirstSuccess or
// more is success, less an error.
inline constexpr int kShellFirstSuccess = 33;
inline constexpr int kShellFileNotFound = 2;
inline constexpr int kShellPathNotFound = 3;
inline constexpr int kShellNoAssociation = 31;
inline constexpr int kShellStarted = 42;

class DesktopShell {
  public:
    virtual ~DesktopShell() = default;

    // Opens a document, a file or an address (handed on unchanged) with its associated
    // program. operation is the verb (absent: the default verb), parameters are for a
    // program, directory is the working directory, show the platform's show command.
    virtual int Execute(const std::optional<std::string>& operation, const std::string& file,
                        const std::optional<std::string>& parameters,
                        const std::optional<std::string>& directory, int show) = 0;

    // Opens a folder in the desktop's file manager. False when it is not an existing
    // folder or nothing could be started.
    virtual bool OpenFolder(const std::string& folder) = 0;

    // Opens an address (http:, ftp:, ...) in the desktop's handler for it, in a window of
    // its own. False when nothing could be started.
    virtual bool OpenAddress(const std::string& address) = 0;
};

// The desktop of this system. On Linux every target goes to one opener program
// ("xdg-open"), started with posix_spawnp and reaped in the background; a local file or
// folder must exist before it is handed over, because the opener only reports that it
// started. Only the default verb, "open" and "explore" are known; parameters are not
// passed on (documents take none). On Windows ShellExecuteW does the work; folders and ftp
// addresses go to File Explorer, started with the target as one quoted argument.
class SystemDesktopShell : public DesktopShell {
  public:
    // opener: the program that hands a target to the desktop; tests point it elsewhere.
    explicit SystemDesktopShell(std::string opener = "xdg-open");

    int Execute(const std::optional<std::string>& operation, const std::string& file,
                const std::optional<std::string>& parameters,
                const std::optional<std::string>& directory, int show) override;
    bool OpenFolder(const std::string& folder) override;
    bool OpenAddress(const std::string& address) override;

  private:
    std::string opener_;
};

// True when the text starts with a scheme of two or more characters and a colon
// ("http:", "ftp:", "mailto:"); "C:\..." is a path.
bool LooksLikeAddress(const std::string& target);

}  // namespace vb::platform
