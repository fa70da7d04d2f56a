// kyklos-report as a production line meets it: folders it cannot read,
// more workers than cores, a run killed half way, a full disk, names that are
// not text and a terminal shared by the records and the progress bar. Each
// run is a child process whose standard streams, signals and permissions
// the test controls.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <pty.h>
#include <sched.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Child {
    pid_t Pid = -1;
    int Out = -1; // read end of its standard output (a pipe or a terminal)
};

struct Ended {
    int Status = 0; // as waitpid gives it
    std::string Out;
    std::string Err;
    long PeakKilobytes = 0;
};

struct Streams {
    std::string Input = "/dev/null"; // standard input
    std::string Output;              // a file for standard output; empty: a pipe to the test
    bool Terminal = false;           // standard output and error on one terminal
    // Without the power to read every folder: root overrides a folder's
    // mode, so as root the run goes into a user namespace of its own, where
    // files keep only their owner's bits.
    bool WithoutOverride = false;
};

class Runner {
public:
    explicit Runner(fs::path errors) : errors_(std::move(errors)) {}

    Child Start(const std::vector<std::string>& arguments, const Streams& streams = {})
    {
        int pipeEnds[2] = {-1, -1};
        int master = -1, slave = -1;
        if (streams.Terminal) {
            if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return {};
            termios raw{};
            tcgetattr(slave, &raw);
            cfmakeraw(&raw); // bytes as written: no CR added before LF
            tcsetattr(slave, TCSANOW, &raw);
        } else if (streams.Output.empty() && pipe(pipeEnds) != 0) {
            return {};
        }
        const pid_t pid = fork();
        if (pid == 0) {
            if (streams.WithoutOverride && geteuid() == 0 && unshare(CLONE_NEWUSER) != 0) _exit(126);
            signal(SIGINT, SIG_DFL); // as a shell's foreground job has it
            dup2(open(streams.Input.c_str(), O_RDONLY), 0);
            if (streams.Terminal) {
                setsid();
                dup2(slave, 1);
                dup2(slave, 2);
            } else {
                dup2(streams.Output.empty() ? pipeEnds[1] : open(streams.Output.c_str(), O_WRONLY), 1);
                dup2(open(errors_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
            }
            std::vector<char*> argv{const_cast<char*>(KYKLOS_REPORT)};
            for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(KYKLOS_REPORT, argv.data());
            _exit(127);
        }
        if (streams.Terminal) {
            close(slave);
            return {pid, master};
        }
        if (pipeEnds[1] >= 0) close(pipeEnds[1]);
        return {pid, pipeEnds[0]};
    }

    // Reads standard output until `text` appears in it (or it ends); what was read.
    static std::string ReadUntil(const Child& child, const std::string& text)
    {
        std::string out;
        char buffer[4096];
        while (out.find(text) == std::string::npos) {
            const ssize_t n = read(child.Out, buffer, sizeof buffer);
            if (n <= 0) break;
            out.append(buffer, static_cast<std::size_t>(n));
        }
        return out;
    }

    Ended Finish(const Child& child, std::string out = {})
    {
        Ended ended;
        char buffer[4096];
        ssize_t n;
        while (child.Out >= 0 && (n = read(child.Out, buffer, sizeof buffer)) > 0)
            out.append(buffer, static_cast<std::size_t>(n));
        if (child.Out >= 0) close(child.Out);
        rusage usage{};
        wait4(child.Pid, &ended.Status, 0, &usage);
        ended.PeakKilobytes = usage.ru_maxrss;
        ended.Out = std::move(out);
        std::ifstream in(errors_, std::ios::binary);
        ended.Err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return ended;
    }

    Ended Run(const std::vector<std::string>& arguments, const Streams& streams = {})
    {
        return Finish(Start(arguments, streams));
    }

private:
    fs::path errors_;
};

int ExitCode(const Ended& run) { return WIFEXITED(run.Status) ? WEXITSTATUS(run.Status) : -1; }

std::vector<nlohmann::json> JsonLines(const std::string& text)
{
    std::vector<nlohmann::json> records;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) records.push_back(nlohmann::json::parse(line));
    return records;
}

// A profile of 3600 points: 10 mm radius, a small eccentricity, a three-lobed form.
std::string Profile(const std::string& identification, double lobesUm)
{
    std::ostringstream out;
    out << "KYKLOS_DATA 1.0\nIDENTIFICATION: " << identification << "\nDATE: 07 Dec 2026\nNUMBER_OF_POINTS: 3600\n"
        << "PROFILE_UM:\n";
    out.precision(10);
    for (int i = 0; i < 3600; ++i) {
        const double t = i * (2.0 * 3.141592653589793 / 3600);
        out << 10000.0 + 0.3 * std::cos(t) + lobesUm * std::cos(3.0 * t) << '\n';
    }
    return out.str();
}

// The bytes of a name written with \xNN for bytes that are not UTF-8 and \\ for a backslash.
std::string Unescaped(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
        } else if (text.at(i + 1) == '\\') {
            bytes += '\\';
            ++i;
        } else {
            EXPECT_EQ(text.at(i + 1), 'x') << text;
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        }
    }
    return bytes;
}

class BatchFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kyklos_faults_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path Write(const fs::path& name, const std::string& content)
    {
        const fs::path path = dir_ / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    // The same profile named `count` times, one name per line.
    fs::path ListOfRepeats(const fs::path& profile, int count)
    {
        std::string names;
        for (int i = 0; i < count; ++i) names += profile.string() + "\n";
        return Write("list.txt", names);
    }
    Runner Run() { return Runner(dir_ / "stderr.txt"); }

    fs::path dir_;
};

TEST_F(BatchFaults, FoldersThatCannotBeReadAreFailedRecordsAndFolderLinksAreFollowedOnce)
{
    Write("set/a.kyk", Profile("a", 1));
    Write("set/locked/b.kyk", Profile("b", 1));
    Write("set/open/c.kyk", Profile("c", 1));
    Write("outside/d.kyk", Profile("d", 1));
    fs::create_directory_symlink(dir_ / "outside", dir_ / "set" / "linked");
    fs::create_directory_symlink(dir_ / "set", dir_ / "set" / "open" / "loop"); // a cycle
    fs::create_symlink(dir_ / "nowhere.kyk", dir_ / "set" / "gone.kyk");
    fs::permissions(dir_ / "set" / "locked", fs::perms::none);

    Streams restricted;
    restricted.WithoutOverride = true;
    const Ended tree = Run().Run({"--format", "jsonl", "-r", (dir_ / "set").string()}, restricted);
    ASSERT_NE(ExitCode(tree), 126) << "no user namespace for the run";
    EXPECT_EQ(ExitCode(tree), 1) << tree.Err;
    std::vector<std::string> seen;
    for (const auto& record : JsonLines(tree.Out))
        seen.push_back(record["PathName"].get<std::string>().substr(dir_.string().size() + 5) + " " +
                       (record["ok"] ? "ok" : record["message"].get<std::string>()));
    EXPECT_EQ(seen, (std::vector<std::string>{"a.kyk ok", "gone.kyk Cannot open the file.", "linked/d.kyk ok",
                                              "locked Cannot read the folder.", "open/c.kyk ok"}));
    EXPECT_NE(tree.Err.find("locked: Cannot read the folder."), std::string::npos) << tree.Err;

    // Named itself, without -r: its own record, and the run goes on.
    const Ended named = Run().Run(
        {"--format", "csv", "--no-header", (dir_ / "set" / "locked").string(), (dir_ / "set" / "open").string()},
        restricted);
    EXPECT_EQ(ExitCode(named), 1);
    EXPECT_EQ(named.Out.rfind((dir_ / "set" / "locked").string() + ",false,Cannot read the folder.,", 0), 0u)
        << named.Out;
    EXPECT_NE(named.Out.find("\n" + (dir_ / "set" / "open" / "c.kyk").string() + ",true,"), std::string::npos);
    fs::permissions(dir_ / "set" / "locked", fs::perms::owner_all); // so that the folder can be removed
}

TEST_F(BatchFaults, WorkersBeyondTheCoresCostNoMemory)
{
    for (int i = 0; i < 40; ++i) Write("set/p" + std::to_string(100 + i) + ".kyk", Profile("p", 0.1 * i));
    const auto peak = [&](const std::string& jobs) {
        const Ended run = Run().Run({"--format", "csv", "-j", jobs, (dir_ / "set").string()});
        EXPECT_EQ(ExitCode(run), 0) << run.Err;
        return run.PeakKilobytes;
    };
    // Workers are capped at four per core: -j 1000 is -j 4n, and on a machine of
    // fewer than ten cores that is well below one worker per file.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const long two = peak("2");
    const long cap = peak(std::to_string(4 * cores));
    const long thousand = peak("1000");
    EXPECT_LT(thousand, cap + cap / 10) << "-j " << 4 * cores << ": " << cap << " kB, -j 1000: " << thousand << " kB";
    // Each worker's document holds an analysed profile with its sample tables,
    // contacts and evaluation, some 0.6 MB beside the threads' malloc arenas:
    // eight workers against two stay within two fifths more.
    if (4 * cores < 40) {
        EXPECT_LT(thousand, two + 2 * two / 5) << "-j 2: " << two << " kB, -j 1000: " << thousand << " kB";
    }
}

TEST_F(BatchFaults, TerminatedRunClosesItsJsonAndDiesByTheSignal)
{
    const fs::path profile = Write("p.kyk", Profile("p", 1));
    Streams streams;
    streams.Input = ListOfRepeats(profile, 3000).string();
    for (const int signal : {SIGTERM, SIGINT}) {
        Runner runner = Run();
        const Child child = runner.Start({"--json", "--harmonics", "3", "-j", "2", "-"}, streams);
        const std::string first = Runner::ReadUntil(child, "\n  }");
        kill(child.Pid, signal);
        const Ended run = runner.Finish(child, first);
        ASSERT_TRUE(WIFSIGNALED(run.Status)) << run.Status;
        EXPECT_EQ(WTERMSIG(run.Status), signal);
        const auto records = nlohmann::json::parse(run.Out); // whole records, the array closed
        EXPECT_GE(records.size(), 1u);
        EXPECT_LT(records.size(), 3000u);
        for (const auto& record : records) EXPECT_EQ(record["Identification"], "p");
    }
}

TEST_F(BatchFaults, PagesGoToAPartFileSoThatAKillKeepsThePreviousFile)
{
    const fs::path profile = Write("p.kyk", Profile("p", 1));
    const fs::path pdf = Write("report.pdf", "the previous report");
    Streams streams;
    streams.Input = ListOfRepeats(profile, 400).string();
    Runner runner = Run();
    const Child child = runner.Start({"--format", "jsonl", "--harmonics", "0", "-o", pdf.string(), "-"}, streams);
    const std::string first = Runner::ReadUntil(child, "\n");
    kill(child.Pid, SIGTERM);
    const Ended killed = runner.Finish(child, first);
    EXPECT_TRUE(WIFSIGNALED(killed.Status));
    std::ifstream in(pdf, std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == "the previous report");
    EXPECT_FALSE(fs::exists(pdf.string() + ".part"));

    // A run that ends replaces it, and leaves nothing beside it.
    ASSERT_EQ(ExitCode(Run().Run({profile.string(), profile.string(), "-o", pdf.string()})), 0);
    std::ifstream replaced(pdf, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(replaced), {}).substr(0, 5), "%PDF-");
    EXPECT_FALSE(fs::exists(pdf.string() + ".part"));
}

TEST_F(BatchFaults, AFullDiskIsReportedAtTheFirstFailedWrite)
{
    const fs::path profile = Write("p.kyk", Profile("p", 1));
    const fs::path list =
        Write("list.txt", profile.string() + "\n" + (dir_ / "missing.kyk").string() + "\n" + profile.string() + "\n");
    Streams full;
    full.Input = list.string();
    full.Output = "/dev/full";
    for (const char* format : {"jsonl", "csv", "text"}) {
        const Ended run = Run().Run({"--format", format, "-j", "1", "-"}, full);
        EXPECT_EQ(ExitCode(run), 1) << format;
        EXPECT_NE(run.Err.find("kyklos-report: cannot write the output: No space left on device\n"), std::string::npos)
            << format << ": " << run.Err;
        // The run stopped there: the second file was never reported.
        EXPECT_EQ(run.Err.find("missing.kyk"), std::string::npos) << format << ": " << run.Err;
    }
}

TEST_F(BatchFaults, NulSeparatedNamesAndNamesThatAreNotUtf8CanBeReopened)
{
    const std::vector<std::string> names = {"caf\xE9.kyk", "caf\xC3\xA9.kyk", "caf\\xe9.kyk", "two\nlines.kyk"};
    std::string list;
    for (const auto& name : names) list += Write(name, Profile("@SUM(A1)", 1)).string() + '\0';
    Streams streams;
    streams.Input = Write("names", list).string();

    const Ended jsonl = Run().Run({"--format", "jsonl", "--harmonics", "0", "-0"}, streams);
    ASSERT_EQ(ExitCode(jsonl), 0) << jsonl.Err;
    const auto records = JsonLines(jsonl.Out);
    ASSERT_EQ(records.size(), names.size());
    std::set<std::string> texts;
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_TRUE(records[i]["ok"].get<bool>()) << i;
        const std::string bytes = records[i]["PathBytes"];
        EXPECT_EQ(Unescaped(bytes), (dir_ / names[i]).string());
        texts.insert(bytes);
    }
    EXPECT_EQ(texts.size(), names.size());
    EXPECT_EQ(records[0]["PathBytes"], (dir_ / "caf\\xe9.kyk").string());
    EXPECT_EQ(records[1]["PathBytes"], (dir_ / "café.kyk").string());
    EXPECT_EQ(records[2]["PathBytes"], (dir_ / "caf\\\\xe9.kyk").string());

    // The table's file column: the same texts; a formula's sign guarded unless asked raw.
    const Ended csv = Run().Run({"--format", "csv", "--no-header", "--null", "-"}, streams);
    std::istringstream rows(csv.Out);
    std::set<std::string> files;
    for (std::string row; std::getline(rows, row, '\r'); rows.ignore(1))
        files.insert(row.front() == '"' ? row.substr(1, row.find("\",") - 1) : row.substr(0, row.find(',')));
    EXPECT_EQ(files, texts);
    EXPECT_NE(csv.Out.find(",'@SUM(A1),"), std::string::npos) << csv.Out;
    const Ended raw = Run().Run({"--format", "csv", "--csv-raw", "--no-header", "-0"}, streams);
    EXPECT_NE(raw.Out.find(",@SUM(A1),"), std::string::npos) << raw.Out;
}

TEST_F(BatchFaults, TheProgressBarIsClearedBeforeEveryRecordOnATerminal)
{
    std::vector<std::string> arguments = {"--format", "jsonl", "--harmonics", "0"};
    for (int i = 0; i < 6; ++i) arguments.push_back(Write("p" + std::to_string(i) + ".kyk", Profile("p", 1)).string());
    Streams terminal;
    terminal.Terminal = true;
    Runner runner = Run();
    const Child child = runner.Start(arguments, terminal);
    std::string screen;
    char buffer[4096];
    ssize_t n;
    while ((n = read(child.Out, buffer, sizeof buffer)) > 0) screen.append(buffer, static_cast<std::size_t>(n));
    const Ended run = runner.Finish(child);
    EXPECT_EQ(ExitCode(run), 0);
    ASSERT_NE(screen.find("6/6"), std::string::npos) << "no progress bar: " << screen;
    // What a line shows: the text after its last carriage return and line erase.
    int records = 0;
    std::istringstream lines(screen);
    for (std::string line; std::getline(lines, line);) {
        if (line.find('{') == std::string::npos) continue;
        std::string shown = line.substr(line.rfind('\r') == std::string::npos ? 0 : line.rfind('\r') + 1);
        if (shown.rfind("\033[K", 0) == 0) shown.erase(0, 3);
        EXPECT_TRUE(nlohmann::json::accept(shown)) << shown;
        ++records;
    }
    EXPECT_EQ(records, 6);
}

} // namespace
