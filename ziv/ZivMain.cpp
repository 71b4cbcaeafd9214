// ziv: looks inside the host's exchange files, and writes them from JSON.
//   ziv info FILE...          a summary for people
//   ziv dump FILE [-o OUT]    the whole model as JSON
//   ziv write MODEL [-o FILE] [--encoding utf8|cp932] [--plain]
//                             the host's commands for a model given as JSON
//   ziv audit FILE...         every line the reader skipped or mended
//   ziv draw FILE [-o OUT] [--size PIXELS] [--host HOSTFILE]
//                             an SVG picture of the entities and picked points
//   ziv generate [-o FILE] [--entities N] [--encoding E] [--seed S] [--profile P]
//                             a made-up host file of N entities, to try the program on
//   ziv --version
// Bad input ends with one line on standard error and exit status 2; no output file is then
// written or changed.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <iterator>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/DavGaibu.h"
#include "hostgen/HostGen.h"
#include "scene/DavScene.h"
#include "ziv/ZivAudit.h"
#include "ziv/ZivDraw.h"
#include "ziv/ZivDump.h"
#include "ziv/ZivError.h"
#include "ziv/ZivInfo.h"
#include "ziv/ZivLoad.h"
#include "ziv/ZivModelJson.h"
#include "ziv/ZivOutput.h"
#include "ziv/ZivSvg.h"
#include "ziv/ZivWriteBack.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif
#ifdef _WIN32
// shellapi.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include "util/TextFile.h"
#endif

namespace {

// The exit statuses: done and clean, findings (audit) or not an exchange file (info), input
// that cannot be used.
constexpr int kExitOk = 0;
constexpr int kExitFindings = 1;
constexpr int kExitBadInput = 2;

constexpr const char* kCommands[] = {"info", "dump", "write", "audit", "draw", "generate"};

// The most entities ziv generate makes: a file well below the largest the reader takes.
constexpr int kMaxGeneratedEntities = 2000000;

struct TOptions {
    std::vector<std::string> inputs;
    std::string input;
    std::string output = "-";
    std::string encoding;
    std::string host;
    bool plain = false;
    int size = 0;
    THostFileRequest generate;
    std::string profile = "drawing";
};

// The subcommands, to tell which one was given.
struct TCommands {
    CLI::App* info = nullptr;
    CLI::App* dump = nullptr;
    CLI::App* write = nullptr;
    CLI::App* audit = nullptr;
    CLI::App* draw = nullptr;
    CLI::App* generate = nullptr;
};

// One file's failure in a command over several files: said, and the others go on.
int Failed(const TZivError& e) {
    std::fprintf(stderr, "ziv: %s\n", e.what());
    return kExitBadInput;
}

int Info(const TOptions& o) {
    int status = kExitOk;
    TZivOutput out("-");
    for (size_t i = 0; i < o.inputs.size(); ++i) {
        const std::string& name = o.inputs[i];
        try {
            const std::optional<std::string> text = InfoOfFile(name);
            if (!text) {
                std::fprintf(stderr,
                             "ziv: %s: not an exchange file of the host (none of its lines is "
                             "one the host writes)\n",
                             name.c_str());
                status = std::max(status, kExitFindings);
                continue;
            }
            if (o.inputs.size() > 1) {
                out.Write((i > 0 ? "\nFile: " : "File: ") + name + "\n");
            }
            out.Write(*text);
        } catch (const TZivError& e) {
            status = Failed(e);
        }
    }
    out.Commit();
    return status;
}

void Dump(const TOptions& o) {
    TJGdata jg;
    const std::string encoding = LoadHostFile(o.input, jg);
    TZivOutput out(o.output);
    DumpModel(jg, encoding, out);
    out.Commit();
}

int Write(const TOptions& o) {
    TJGdata jg;
    TZivInput input(o.input);
    TZivModelNotes notes;
    notes.refused = [](const std::string& what) {
        std::fprintf(stderr, "ziv: %s\n", what.c_str());
    };
    notes.leftOut = [](const std::string& what) {
        std::fprintf(stderr, "ziv: note: %s\n", what.c_str());
    };
    if (ReadModelJson(input.Stream(), jg, notes) > 0) {
        return kExitBadInput;
    }
    if (o.encoding == "utf8") {
        jg.MojiCode = true;
    } else if (o.encoding == "cp932") {
        jg.MojiCode = false;
    }
    TZivOutput out(o.output);
    WriteModelBack(jg, o.plain, out);
    out.Commit();
    return kExitOk;
}

int Audit(const TOptions& o) {
    int status = kExitOk;
    TZivOutput out("-");
    for (const std::string& name : o.inputs) {
        try {
            const size_t n =
                AuditHost(name, [&](const TAuditFinding& f) { out.Write(AuditLine(name, f)); });
            if (n == 0) {
                out.Write(name + ": clean: every line read as it is and written back whole\n");
            }
            status = std::max(status, n > 0 ? kExitFindings : kExitOk);
        } catch (const TZivError& e) {
            out.Commit();
            status = Failed(e);
        }
    }
    out.Commit();
    return status;
}

void Draw(const TOptions& o) {
    size_t leftOut = 0;
    const std::string svg =
        DrawFile(o.input, o.host, o.size > 0 ? o.size : kSvgDefaultSize, leftOut);
    TZivOutput out(o.output);
    out.Write(svg);
    out.Commit();
    if (leftOut > 0) {
        const std::string note = "ziv: note: " + std::to_string(leftOut) +
                                 " primitives left out of the picture: a coordinate that is "
                                 "not a finite number\n";
        std::fputs(note.c_str(), stderr);
    }
}

void Generate(const TOptions& o) {
    THostFileRequest request = o.generate;
    request.profile = o.profile == "mixed" ? THostProfile::MixedLines : THostProfile::Drawing;
    TZivOutput out(o.output);
    GenerateHostBytes(request, [&](std::string_view bytes) { out.Write(bytes); });
    out.Commit();
}

// The edit distance of two short words, for "did you mean".
size_t Distance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diag = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (a[i - 1] != b[j - 1] ? 1 : 0)});
            diag = up;
        }
    }
    return row[b.size()];
}

// The line for a first argument that is no command.
std::string UnknownCommand(const std::string& word) {
    std::string list;
    std::string closest;
    for (const char* c : kCommands) {
        list += list.empty() ? "" : ", ";
        list += c;
        if (closest.empty() && Distance(word, c) <= 2) {
            closest = c;
        }
    }
    std::string line =
        word.empty() ? std::string("a command is required") : "unknown command \"" + word + "\"";
    if (!closest.empty()) {
        line += " (did you mean \"" + closest + "\"?)";
    }
    return line + "; the commands are " + list + " (see ziv --help)";
}

// The model's commands: info, dump and write.
void AddModelCommands(CLI::App& app, TOptions& o, TCommands& c) {
    c.info = app.add_subcommand("info",
                                "Encoding, settings, current attributes, "
                                "picked points and entity counts of host files; "
                                "exit status 1 for a file that is not an exchange file");
    c.info->add_option("FILE", o.inputs, "the host files (- for standard input)")->required();

    c.dump = app.add_subcommand("dump", "The whole model of a host file as JSON");
    c.dump->add_option("FILE", o.input, "the host file (- for standard input)")->required();
    c.dump->add_option("-o,--output", o.output, "where the JSON goes (default: standard output)");

    c.write = app.add_subcommand(
        "write",
        "The host's commands for a model given as JSON, written as an external program "
        "writes its model back; each entity that cannot be written is named, and then "
        "nothing is written (exit status 2)");
    c.write->add_option("MODEL", o.input, "the JSON model (- for standard input)")->required();
    c.write->add_option("-o,--output", o.output,
                        "the host file to write, replaced whole (default: standard output)");
    c.write
        ->add_option("--encoding", o.encoding,
                     "utf8 (with byte-order mark) or cp932; default: as the model's "
                     "settings.MojiCode")
        ->check(CLI::IsMember({"utf8", "cp932"}));
    c.write->add_flag("--plain", o.plain,
                      "keep the drawing order and group no lines into polylines");
}

// The checks: audit and draw.
void AddCheckCommands(CLI::App& app, TOptions& o, TCommands& c) {
    c.audit = app.add_subcommand(
        "audit",
        "Every line of host files that the reader skipped or mended, and every entity the "
        "write-back drops, as FILE:LINE: reason; exit status 0 when clean, 1 with findings");
    c.audit->add_option("FILE", o.inputs, "the host files (- for standard input)")->required();

    c.draw = app.add_subcommand("draw",
                                "An SVG picture of the entities and the picked "
                                "points, y upwards");
    c.draw->add_option("FILE", o.input, "the host file, or a program's output with --host")
        ->required();
    c.draw->add_option("-o,--output", o.output, "the SVG file (default: standard output)");
    c.draw->add_option("--size", o.size, "the picture's longer side in pixels (default 800)")
        ->check(CLI::Range(16, 20000));
    c.draw->add_option("--host", o.host,
                       "the host file that FILE, a program's output, answered: drawn beneath "
                       "it, its selection dimmed, FILE in the host's text types and colours");
}

// generate: a made-up host file.
void AddGenerateCommand(CLI::App& app, TOptions& o, TCommands& c) {
    c.generate = app.add_subcommand(
        "generate",
        "A made-up host file to try the program on: a drawing's settings, layer names, text "
        "types and two picked points, then N entities of every kind spread over an A1 sheet; "
        "the same options give the same bytes");
    c.generate->add_option("-o,--output", o.output,
                           "the host file to write, replaced whole (default: standard output)");
    c.generate
        ->add_option("--entities", o.generate.entities,
                     "how many entities (default 1000; at most 2000000)")
        ->check(CLI::Range(0, kMaxGeneratedEntities));
    c.generate
        ->add_option_function<std::string>(
            "--encoding",
            [&o](const std::string& name) { HostEncodingFromName(name, o.generate.encoding); },
            "utf8 (with byte-order mark, the default), utf16le, utf16be (with byte-order mark), "
            "utf16le-nomark, utf16be-nomark or cp932")
        ->check(CLI::IsMember(
            {"utf8", "utf16le", "utf16be", "utf16le-nomark", "utf16be-nomark", "cp932"}));
    c.generate->add_option("--seed", o.generate.seed,
                           "another number gives another file of the same kind (default 407)");
    c.generate
        ->add_option("--profile", o.profile,
                     "drawing (the default), or mixed: --entities lines of every kind in "
                     "random order with odd and damaged values among them, to try a reader on")
        ->check(CLI::IsMember({"drawing", "mixed"}));
}

// The command that was given, run.
int Dispatch(const TOptions& o, const TCommands& c) {
    if (c.info->parsed()) {
        return Info(o);
    }
    if (c.dump->parsed()) {
        Dump(o);
    } else if (c.write->parsed()) {
        return Write(o);
    } else if (c.audit->parsed()) {
        return Audit(o);
    } else if (c.draw->parsed()) {
        Draw(o);
    } else if (c.generate->parsed()) {
        Generate(o);
    }
    return kExitOk;
}

// A first argument that is neither an option nor a command is answered before CLI11 sees it,
// with the commands and the nearest one.
bool KnownFirstArgument(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "ziv: %s\n", UnknownCommand("").c_str());
        return false;
    }
    if (const std::string first = argv[1];
        !first.empty() && first[0] != '-' &&
        std::find_if(std::begin(kCommands), std::end(kCommands),
                     [&](const char* c) { return first == c; }) == std::end(kCommands)) {
        std::fprintf(stderr, "ziv: %s\n", UnknownCommand(first).c_str());
        return false;
    }
    return true;
}

int Run(int argc, char** argv) {
    CLI::App app{"ziv: looks inside the host's exchange files and writes them from JSON"};
    app.require_subcommand(1);
    // Options start with "-" on every system; "/tmp/a.txt" is a file name, also on Windows.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("ziv ") + R407_VERSION,
                         "the program's version, and nothing else");
    if (!KnownFirstArgument(argc, argv)) {
        return kExitBadInput;
    }
    TOptions o;
    TCommands c;
    AddModelCommands(app, o, c);
    AddCheckCommands(app, o, c);
    AddGenerateCommand(app, o, c);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "ziv: %s (see ziv --help)\n", e.what());
        return kExitBadInput;
    }
    return Dispatch(o, c);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // Large blocks (the model's lists as they grow) straight from the system and back to it
    // when freed, so that a list left behind by its growth is never kept as resident memory.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    try {
#ifdef _WIN32
        // Messages end in LF alone, as on every other system: the console shows them alike,
        // and scripts that read them compare them alike.
        _setmode(_fileno(stdout), _O_BINARY);
        _setmode(_fileno(stderr), _O_BINARY);
        // The arguments as UTF-8, whatever the code page, so that every file name reaches
        // the library whole.
        int wargc = 0;
        wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
        std::vector<std::string> args;
        for (int i = 0; wargv != nullptr && i < wargc; ++i) {
            args.push_back(ToUtf8(reinterpret_cast<const char16_t*>(wargv[i])));
        }
        if (wargv != nullptr) {
            LocalFree(wargv);
        }
        std::vector<char*> ptrs;
        for (std::string& a : args) {
            ptrs.push_back(a.data());
        }
        if (!ptrs.empty()) {
            return Run(static_cast<int>(ptrs.size()), ptrs.data());
        }
#endif
        return Run(argc, argv);
    } catch (const TZivError& e) {
        std::fprintf(stderr, "ziv: %s\n", e.what());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "ziv: out of memory\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ziv: %s\n", e.what());
    }
    return kExitBadInput;
}
