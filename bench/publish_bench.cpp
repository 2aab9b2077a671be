// The publishing benchmark: a folder of pages uploaded through the product's transfer
// (publish/curl_transfer.h) to the local test server (tests/support/ftp_server.py), whose
// every reply waits a fixed delay, at 1, 2 and 4 connections; next to the floor, three
// delayed replies a file (passive, 150, 226) shared among the connections, and to lftp's
// mirror -R of the same folder to the same server. See bench/README.md.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "publish/curl_transfer.h"
#include "publish/manifest.h"
#include "publish/publisher.h"

namespace fs = std::filesystem;

namespace vb::bench {
namespace {

struct Options {
    int pages = 20000;
    double delay = 0.002;  // seconds added to each reply
    std::vector<int> connections{1, 2, 4};
    bool lftp = true;
    bool lftpLean = false;  // lftp told to set no times or modes: three replies a file too
    bool tls = true;
    bool publish = true;   // also the whole publish, twice (the second sends nothing)
    bool transfer = true;  // also the transfer alone
    // The server's program and its first arguments (an interpreter and a script, or one
    // native program).
    std::vector<std::string> server{"/usr/bin/python3", VB_FTP_SERVER};
    fs::path work = fs::temp_directory_path();
};

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Processor time (user and system) of this process, all threads, or of its ended children.
double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

pid_t Spawn(const std::vector<std::string>& args, int in, int out, int err) {
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(in, 0), dup2(out, 1), dup2(err, 2);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// The test server with a fresh root, for one timed run; it ends when its input closes.
class Server {
  public:
    Server(const Options& o, double limitSeconds) {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        std::vector<std::string> args = o.server;
        args.insert(args.end(),
                    {"--tls", o.tls ? "explicit" : "none", "--delay", std::to_string(o.delay),
                     "--time-limit", std::to_string(limitSeconds)});
        int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        pid_ = Spawn(args, in[0], out[1], null);
        close(null), close(in[0]), close(out[1]);
        input_ = in[1];
        char line[4096] = {};
        FILE* f = fdopen(out[0], "r");
        if (!fgets(line, sizeof line, f)) throw std::runtime_error("the test server did not start");
        fclose(f);
        std::string ready;
        std::istringstream(line) >> ready >> port_ >> pin_ >> root_;
    }
    ~Server() {
        close(input_);
        waitpid(pid_, nullptr, 0);
    }
    int Port() const { return port_; }
    const std::string& Pin() const { return pin_; }
    const std::string& Root() const { return root_; }

    // The server's processor time so far (user and system), from /proc.
    double CpuSeconds() const {
        std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), {});
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string skip;
        for (int i = 3; i < 14; ++i) fields >> skip;
        double user = 0, system = 0;
        fields >> user >> system;
        return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

    // Time the server's threads were ready to run but waited for a processor (schedstat).
    double WaitSeconds() const {
        double total = 0;
        for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid_) + "/task")) {
            std::ifstream stat(task.path() / "schedstat");
            double running = 0, waiting = 0;
            stat >> running >> waiting;
            total += waiting;
        }
        return total / 1e9;
    }

  private:
    pid_t pid_ = -1;
    int input_ = -1, port_ = 0;
    std::string pin_, root_;
};

struct Page {
    std::string name, bytes;
};

// index.html and pages of 1.5 to 4.5 KB, from a fixed seed, written into folder.
std::vector<Page> MakePages(const fs::path& folder, int count) {
    std::mt19937 random(20261209);
    std::vector<Page> pages;
    std::string index = "<html><body>\r\n";
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "p%06d.html", i);
        std::string body = "<html><head><title>" + std::string(name) + "</title></head><body>\r\n";
        std::size_t size = 1536 + random() % 3072;
        while (body.size() < size) body += "<p>" + std::to_string(random()) + "</p>\r\n";
        pages.push_back({name, body});
        index += "<a href=\"" + std::string(name) + "\">" + name + "</a><br>\r\n";
    }
    pages.push_back({"index.html", index + "</body></html>\r\n"});
    fs::create_directories(folder);
    for (const Page& p : pages) std::ofstream(folder / p.name, std::ios::binary) << p.bytes;
    return pages;
}

// Whether the server's root holds exactly the pages, byte for byte.
std::string Check(const std::string& root, const std::vector<Page>& pages) {
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(root)) files += entry.is_regular_file();
    if (files != pages.size())
        return std::to_string(files) + " files on the server, " + std::to_string(pages.size()) +
               " expected";
    for (const Page& p : pages) {
        std::ifstream in(fs::path(root) / p.name, std::ios::binary);
        std::string got((std::istreambuf_iterator<char>(in)), {});
        if (got != p.bytes) return p.name + " differs on the server";
    }
    return "";
}

// The pages uploaded by `connections` connections, each taking the next page not yet
// taken; the time from the first connect to the last upload's end.
double RunOurs(const Server& server, const Options& o, const std::vector<Page>& pages,
               int connections) {
    auto transfer = publish::MakeCurlTransfer();
    publish::Endpoint at{o.tls ? publish::Protocol::Ftps : publish::Protocol::Ftp,
                         "127.0.0.1",
                         server.Port(),
                         "user",
                         "secret",
                         server.Pin()};
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> next{0};
    std::mutex failed;
    std::string failure;
    double start = Now();
    std::vector<std::thread> threads;
    for (int c = 0; c < connections; ++c) {
        threads.emplace_back([&] {
            try {
                auto connection = transfer->Connect(at, stop);
                for (std::size_t i; (i = next++) < pages.size();)
                    connection->Upload("/" + pages[i].name, pages[i].bytes);
            } catch (const std::exception& e) {
                std::lock_guard lock(failed);
                failure = e.what();
                stop = true;
            }
        });
    }
    for (auto& t : threads) t.join();
    double seconds = Now() - start;
    if (!failure.empty()) throw std::runtime_error(failure);
    return seconds;
}

// The publish's log lines are not timed.
struct Quiet : publish::PublishProgress {
    void Line(const std::string&) override {}
    void Files(std::size_t, std::size_t) override {}
};

// The whole publish of the folder (plan, manifest, temporary names and renames, the check of
// what landed) to the server's root; the report of the run.
publish::PublishReport RunPublish(const Server& server, const Options& o, const fs::path& folder,
                                  int connections) {
    auto transfer = publish::MakeCurlTransfer();
    publish::PublishJob job{folder.filename().string(),
                            folder.string(),
                            {o.tls ? publish::Protocol::Ftps : publish::Protocol::Ftp, "127.0.0.1",
                             server.Port(), "user", "secret", server.Pin()},
                            "/",
                            connections};
    std::atomic<bool> stop{false};
    Quiet quiet;
    publish::PublishReport report = publish::Publish(job, *transfer, quiet, stop);
    if (report.result != publish::PublishResult::Done)
        throw std::runtime_error("the publish failed: " + report.text);
    return report;
}

// lftp's mirror -R of the folder into the server's root, with TLS required as ours.
double RunLftp(const Server& server, const Options& o, const fs::path& folder, int connections,
               const fs::path& home) {
    std::string settings = o.tls ? "set ftp:ssl-force true; set ftp:ssl-protect-data true; "
                                   "set ssl:verify-certificate no; "
                                 : "set ftp:ssl-allow false; ";
    if (o.lftpLean)
        settings +=  // without FEAT it does not know MFMT
            "set ftp:use-feat false; set ftp:use-site-utime false; "
            "set ftp:use-site-utime2 false; ";
    std::string script = settings + "set net:max-retries 1; set cmd:fail-exit true; " +
                         "open -u user,secret -p " + std::to_string(server.Port()) +
                         " 127.0.0.1; mirror -R " + (o.lftpLean ? "--no-perms " : "") +
                         "--parallel=" + std::to_string(connections) + " " + folder.string() + " /";
    fs::create_directories(home);
    setenv("HOME", home.c_str(), 1);  // no user's lftp settings
    int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    int log = open((home / "lftp.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    double start = Now();
    pid_t pid = Spawn({"lftp", "-c", script}, null, log, log);
    int status = 0;
    waitpid(pid, &status, 0);
    double seconds = Now() - start;
    close(null), close(log);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("lftp failed; see " + (home / "lftp.log").string());
    return seconds;
}

void Run(const Options& o) {
    fs::path work = o.work / ("vb-bench-publish-" + std::to_string(getpid()));
    auto pages = MakePages(work / "pages", o.pages);
    std::uint64_t bytes = 0;
    for (const Page& p : pages) bytes += p.bytes.size();
    std::printf("%-5s %5s %6s %9s %8s %8s %8s %6s %8s %8s %8s %7s\n", "tool", "conns", "files",
                "bytes", "delay_ms", "floor_s", "wall_s", "ratio", "cli_cpu", "srv_cpu", "srv_wt",
                "vs_lftp");
    for (int c : o.connections) {
        double floor = 3 * o.delay * static_cast<double>(pages.size()) / c;
        double limit = 20 * floor + 300;
        double ours = 0, lftp = 0;
        if (o.publish) {
            // A fresh server, the manifest of the last one gone: every page is new to it.
            Server server(o, limit);
            fs::remove(publish::ManifestPath((work / "pages").string(), "pages"));
            double cpu = CpuSeconds(RUSAGE_SELF);
            const publish::PublishReport first = RunPublish(server, o, work / "pages", c);
            cpu = CpuSeconds(RUSAGE_SELF) - cpu;
            const double again = Now();
            const publish::PublishReport second = RunPublish(server, o, work / "pages", c);
            const double againSeconds = Now() - again;
            std::string fault = Check(server.Root(), pages);
            if (second.sent != 0)
                fault += " the second publish sent " + std::to_string(second.sent);
            std::printf(
                "%-5s %5d %6zu %9llu %8.2f %8.2f %8.2f %6.2f %8.2f %8.2f %8.2f %7s"
                "  second: sent %zu kept %zu in %.2f s%s%s\n",
                "pub", c, pages.size(), static_cast<unsigned long long>(bytes), o.delay * 1000,
                floor, first.seconds, first.seconds / floor, cpu, server.CpuSeconds(),
                server.WaitSeconds(), "", second.sent, second.kept, againSeconds,
                fault.empty() ? "" : "  FAULT:", fault.c_str());
            std::fflush(stdout);
        }
        for (const char* tool : {"ours", "lftp"}) {
            bool isOurs = std::strcmp(tool, "ours") == 0;
            if (isOurs ? !o.transfer : !o.lftp) continue;
            Server server(o, limit);
            int who = isOurs ? RUSAGE_SELF : RUSAGE_CHILDREN;
            double cpu = CpuSeconds(who);
            double wall = isOurs ? RunOurs(server, o, pages, c)
                                 : RunLftp(server, o, work / "pages", c, work / "home");
            cpu = CpuSeconds(who) - cpu;
            std::string fault = Check(server.Root(), pages);
            (isOurs ? ours : lftp) = wall;
            char versus[16] = "";
            if (!isOurs) std::snprintf(versus, sizeof versus, "%7.2f", ours / lftp);
            std::printf("%-5s %5d %6zu %9llu %8.2f %8.2f %8.2f %6.2f %8.2f %8.2f %8.2f %7s%s%s\n",
                        tool, c, pages.size(), static_cast<unsigned long long>(bytes),
                        o.delay * 1000, floor, wall, wall / floor, cpu, server.CpuSeconds(),
                        server.WaitSeconds(), versus,
                        fault.empty() ? "" : "  FAULT: ", fault.c_str());
            std::fflush(stdout);
        }
    }
    fs::remove_all(work);
}

}  // namespace
}  // namespace vb::bench

int main(int argc, char** argv) {
    vb::bench::Options o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::runtime_error(a + " needs a value");
            return argv[++i];
        };
        if (a == "--pages") {
            o.pages = std::stoi(value());
        } else if (a == "--quick") {
            o.pages = 1000;
        } else if (a == "--delay-ms") {
            o.delay = std::stod(value()) / 1000;
        } else if (a == "--connections") {
            o.connections.clear();
            std::stringstream list(value());
            for (std::string n; std::getline(list, n, ',');) o.connections.push_back(std::stoi(n));
        } else if (a == "--no-lftp") {
            o.lftp = false;
        } else if (a == "--lftp-lean") {
            o.lftpLean = true;
        } else if (a == "--plain") {
            o.tls = false;
        } else if (a == "--light-server") {
            o.server = {"/usr/bin/python3", VB_LIGHT_FTP_SERVER};
#ifdef VB_NATIVE_FTP_SERVER
        } else if (a == "--native-server") {
            o.server = {VB_NATIVE_FTP_SERVER};
#endif
        } else if (a == "--no-transfer") {
            o.transfer = false;
        } else if (a == "--no-publish") {
            o.publish = false;
        } else if (a == "--work") {
            o.work = value();
        } else {
            std::fprintf(stderr,
                         "usage: %s [--pages N | --quick] [--delay-ms D] [--connections 1,2,4] "
                         "[--no-lftp | --lftp-lean] [--plain] [--light-server | --native-server] "
                         "[--no-publish] [--no-transfer] "
                         "[--work DIR]\n",
                         argv[0]);
            return 2;
        }
    }
    try {
        vb::bench::Run(o);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vb_bench_publish: %s\n", e.what());
        return 1;
    }
    return 0;
}
