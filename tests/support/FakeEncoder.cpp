// A stand-in for ffmpeg and mencoder in the engine tests. It takes the encoder's arguments, finds
// the source file (the argument after "-i", else the first argument that is not an option) and
// runs the script written in it, one directive a line:
//
//   say TEXT             prints TEXT and a line feed
//   banner               prints a build banner like ffmpeg's
//   status SECONDS       prints an ffmpeg status line at that time, ended by a carriage return
//   statuses A B STEP [SPEED]  status lines from A to B seconds, stating "speed=SPEEDx" (1 unless given)
//   await PATH           reads one line from PATH (a FIFO: waits until the test writes to it)
//   mstatus SECONDS PCT  prints a mencoder status line
//   cat PATH             copies a file to the output; a probe answer's "Input #0, ... from '...':"
//                        header names the real input, as ffmpeg's would, and its "Input #0" and
//                        "Stream #0:" / "Stream #0." carry the input's index
//   flood BYTES          prints that many bytes of filler lines
//   sleep MS             waits
//   gate PATH            waits until a writer of the FIFO at PATH has opened and closed it (a test
//                        lets the encoder go on at the moment it chooses)
//   write-output         writes a few bytes to the output file (the argument after "-o", else the
//                        last argument)
//   pidfile PATH         writes its own process id to PATH
//   pidlog PATH          appends its own process id and a line feed to PATH (one line per input
//                        of a probe of several files, so the ids tell how many processes ran)
//   spawn-child PATH     starts a child that sleeps for ever and writes the child's id to PATH
//   nicefile PATH        writes its own nice value to PATH
//   hang                 sleeps until killed
//   crash                ends by SIGSEGV
//   exit N               ends with status N
//
// A line that starts with "probe:" runs only when there is no output argument (the media probe);
// every other line only when there is one (a conversion). Without a script it exits with 1.
//
// A probe of several files ("-i A -i B ..." and no output) runs each input's "probe:" lines in
// turn and, as ffmpeg does at an input it cannot open, ends with 1 after the first input whose
// lines printed no "Input #" header (a missing script prints "NAME: No such file or directory").
//
// Asked for "-encoders" or "-muxers", it prints a listing in ffmpeg's layout that is far longer
// than one pipe read: 3000 made-up entries ("fake_encoder_0000", "fake_muxer_0000", ...) and then
// the real names a current build offers (libx264, aac, ...; mp4, matroska, ...), last.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Whether anything written since the last reset held an input's header.
bool headerPrinted = false;

void writeAll(const std::string& text)
{
    if (text.find("Input #") != std::string::npos)
        headerPrinted = true;
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ::_exit(3);
        }
        done += static_cast<size_t>(written);
    }
}

std::string timeText(double seconds)
{
    const long hundredths = static_cast<long>(seconds * 100.0 + 0.5);
    char text[64];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld.%02ld", hundredths / 360000, hundredths / 6000 % 60,
                  hundredths / 100 % 60, hundredths % 100);
    return text;
}

void writeNumberFile(const std::string& path, long value)
{
    std::ofstream(path) << value << '\n';
}

struct Arguments {
    std::string source;
    std::string output;
    std::string input;                // the argument after "-i", word for word
    std::vector<std::string> inputs;  // the argument after each "-i"
    size_t index = 0;                 // the input whose script runs
};


// ffmpeg is given files as "file:PATH" so that no name can pass for an option or a protocol.
std::string fileName(const std::string& argument)
{
    return argument.rfind("file:", 0) == 0 ? argument.substr(5) : argument;
}

Arguments readArguments(int argc, char** argv)
{
    Arguments result;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-i" && i + 1 < argc) {
            result.inputs.push_back(argv[++i]);
            if (result.inputs.size() > 1)
                continue;
            result.input = result.inputs.front();
            result.source = fileName(result.input);
        } else if (arg == "-o" && i + 1 < argc) {
            result.output = fileName(argv[++i]);
        } else if (result.source.empty() && !arg.empty() && arg[0] != '-') {
            result.source = fileName(arg);
        }
    }
    // Several inputs are a probe: none of them is an output.
    if (result.output.empty() && result.inputs.size() < 2 && argc > 3) {
        const std::string last = fileName(argv[argc - 1]);
        if (last != result.source && !last.empty() && last[0] != '-')
            result.output = last;
    }
    return result;
}

// ffmpeg's log shows control characters other than the line and page breaks as "?".
std::string asLogged(const std::string& name)
{
    std::string shown;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        shown += (byte < 0x08 || (byte > 0x0D && byte < 0x20)) ? '?' : c;
    }
    return shown;
}

// A captured probe answer names the file it was captured from; put the real input in its place.
std::string withRealInput(std::string answer, const std::string& input)
{
    const size_t header = answer.find("Input #0, ");
    if (input.empty() || header == std::string::npos)
        return answer;
    const size_t open = answer.find(" from '", header);
    const size_t close = open == std::string::npos ? open : answer.find("':", open + 7);
    if (close == std::string::npos)
        return answer;
    return answer.replace(open + 7, close - open - 7, asLogged(input));
}

// A captured probe answer describes input 0; as the index-th input its header and stream lines
// carry that index.
std::string asInput(std::string answer, size_t index)
{
    const std::string number = std::to_string(index);
    const std::pair<std::string, std::string> renumbered[] = {
        {"Input #0, ", "Input #" + number + ", "},
        {"Stream #0:", "Stream #" + number + ":"},
        {"Stream #0.", "Stream #" + number + "."},
    };
    for (const auto& [from, to] : renumbered) {
        for (size_t at = answer.find(from); at != std::string::npos; at = answer.find(from, at + to.size()))
            answer.replace(at, from.size(), to);
    }
    return answer;
}

void run(const std::string& directive, std::istringstream& rest, const Arguments& args)
{
    if (directive == "say") {
        std::string text;
        std::getline(rest, text);
        if (!text.empty() && text[0] == ' ')
            text.erase(0, 1);
        writeAll(text + "\n");
    } else if (directive == "banner") {
        writeAll("ffmpeg version 5.1.9-fake Copyright (c) 2000-2026 the FFmpeg developers\n"
                 "  built with gcc 12 (Debian 12.2.0-14)\n"
                 "  configuration: --prefix=/usr --enable-gpl\n"
                 "  libavutil      57. 28.100 / 57. 28.100\n"
                 "  libavcodec     59. 37.100 / 59. 37.100\n");
    } else if (directive == "status" || directive == "statuses") {
        double from = 0, to = 0, step = 1;
        std::string speed = "1";
        rest >> from;
        to = from;
        if (directive == "statuses") {
            std::string stated;
            rest >> to >> step >> stated;
            if (!stated.empty())
                speed = stated;
        }
        for (double t = from; t <= to + 1e-9 && step > 0; t += step) {
            const long kb = static_cast<long>(t * 50) + 1;
            writeAll("frame=  " + std::to_string(static_cast<long>(t * 25)) + " fps= 25 q=2.0 size=" +
                     std::to_string(kb) + "kB time=" + timeText(t) + " bitrate= 400.0kbits/s speed=" + speed +
                     "x    \r");
        }
    } else if (directive == "mstatus") {
        double seconds = 0;
        int percent = 0;
        rest >> seconds >> percent;
        char line[160];
        std::snprintf(line, sizeof line, "Pos: %5.1fs %6ldf (%2d%%) 25.00fps Trem:   0min   0mb  A-V:0.000 [0:0]\r",
                      seconds, static_cast<long>(seconds * 25), percent);
        writeAll(line);
    } else if (directive == "cat") {
        std::string path;
        rest >> path;
        std::ifstream in(path, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        writeAll(args.output.empty() ? asInput(withRealInput(content.str(), args.input), args.index) : content.str());
    } else if (directive == "flood") {
        long bytes = 0;
        rest >> bytes;
        const std::string line(79, 'x');
        std::string block;
        while (block.size() < 65536)
            block += line + "\n";
        for (long left = bytes; left > 0; left -= static_cast<long>(block.size()))
            writeAll(left >= static_cast<long>(block.size()) ? block : block.substr(0, static_cast<size_t>(left)));
    } else if (directive == "sleep") {
        long ms = 0;
        rest >> ms;
        ::usleep(static_cast<useconds_t>(ms * 1000));
    } else if (directive == "gate") {
        std::string path;
        rest >> path;
        // Opening a FIFO for reading blocks until a writer comes; reading then ends when it closes.
        std::ifstream gate(path, std::ios::binary);
        std::string ignored;
        std::getline(gate, ignored);
    } else if (directive == "write-output") {
        std::ofstream(args.output, std::ios::binary) << "fake encoder output\n";
    } else if (directive == "pidfile") {
        std::string path;
        rest >> path;
        writeNumberFile(path, static_cast<long>(::getpid()));
    } else if (directive == "pidlog") {
        std::string path;
        rest >> path;
        std::ofstream(path, std::ios::app) << ::getpid() << '\n';
    } else if (directive == "spawn-child") {
        std::string path;
        rest >> path;
        const pid_t child = ::fork();
        if (child == 0) {
            for (;;)
                ::pause();
        }
        writeNumberFile(path, static_cast<long>(child));
    } else if (directive == "nicefile") {
        std::string path;
        rest >> path;
        errno = 0;
        writeNumberFile(path, static_cast<long>(::getpriority(PRIO_PROCESS, 0)));
    } else if (directive == "await") {
        std::string path;
        rest >> path;
        std::ifstream fifo(path);
        std::string ignored;
        std::getline(fifo, ignored);
    } else if (directive == "hang") {
        for (;;)
            ::pause();
    } else if (directive == "crash") {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        std::signal(SIGSEGV, SIG_DFL);
        ::raise(SIGSEGV);
    } else if (directive == "exit") {
        int code = 0;
        rest >> code;
        ::_exit(code);
    }
}

bool hasArgument(int argc, char** argv, const char* wanted)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], wanted) == 0)
            return true;
    return false;
}

void writeListing(bool encoders)
{
    std::string text = encoders ? "Encoders:\n V..... = Video\n A..... = Audio\n ------\n"
                                : "File formats:\n D. = Demuxing supported\n .E = Muxing supported\n --\n";
    const char* flags = encoders ? " V....D " : "  E ";
    const char* stem = encoders ? "fake_encoder_" : "fake_muxer_";
    char name[32];
    for (int i = 0; i < 3000; ++i) {
        std::snprintf(name, sizeof name, "%s%04d", stem, i);
        text += std::string(flags) + name + "          A made-up entry that only fills the listing\n";
    }
    const char* real[] = {"libx264", "aac", "libmp3lame", "libvorbis", "mpeg4"};
    const char* realMuxers[] = {"mp4", "matroska", "avi", "ogg", "asf"};
    for (const char* entry : encoders ? real : realMuxers)
        text += std::string(flags) + entry + "             A real name\n";
    writeAll(text);
}

// Runs the source's script (its probe lines when there is no output); 1 without a script.
int runScript(const Arguments& args)
{
    std::ifstream script(args.source);
    if (args.source.empty() || !script) {
        writeAll(args.source + ": No such file or directory\n");
        return 1;
    }
    const bool probing = args.output.empty();
    std::string line;
    while (std::getline(script, line)) {
        const bool probeLine = line.rfind("probe:", 0) == 0;
        if (probeLine != probing)
            continue;
        std::istringstream words(probeLine ? line.substr(6) : line);
        std::string directive;
        words >> directive;
        run(directive, words, args);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (hasArgument(argc, argv, "-encoders") || hasArgument(argc, argv, "-muxers")) {
        writeListing(hasArgument(argc, argv, "-encoders"));
        return 0;
    }
    Arguments args = readArguments(argc, argv);
    if (!args.output.empty() || args.inputs.size() < 2)
        return runScript(args);
    for (size_t index = 0; index < args.inputs.size(); ++index) {
        args.index = index;
        args.input = args.inputs[index];
        args.source = fileName(args.input);
        headerPrinted = false;
        const int status = runScript(args);
        if (status != 0 || !headerPrinted)
            return 1;
    }
    return 0;
}
