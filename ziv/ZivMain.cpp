// ziv: looks inside the host's exchange files, and writes them from JSON.
//   ziv info FILE             a summary for people
//   ziv dump FILE [-o OUT]    the whole model as JSON
//   ziv write MODEL [-o FILE] [--encoding utf8|cp932] [--plain]
//                             the host's commands for a model given as JSON
//   ziv audit FILE            every line the reader skipped or mended
//   ziv draw FILE [-o OUT]    an SVG picture of the entities and picked points
// Bad input ends with one line on standard error and exit status 2; no output file is then
// written or changed.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "exchange/DavGaibu.h"
#include "exchange/DavScene.h"
#include "ziv/ZivAudit.h"
#include "ziv/ZivDump.h"
#include "ziv/ZivError.h"
#include "ziv/ZivInfo.h"
#include "ziv/ZivLoad.h"
#include "ziv/ZivModelJson.h"
#include "ziv/ZivOutput.h"
#include "ziv/ZivSvg.h"

#ifdef _WIN32
// shellapi.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "util/TextFile.h"
#endif

namespace {

constexpr int kExitBadInput = 2;

struct TOptions {
    std::string input;
    std::string output = "-";
    std::string encoding;
    bool plain = false;
};

void Info(const TOptions& o) {
    TJGdata jg;
    const std::string encoding = LoadHostFile(o.input, jg);
    TZivOutput out("-");
    out.Write(InfoText(jg, encoding));
    out.Commit();
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
    jg.S_Init();
    if (o.plain) {
        jg.S_EntAll(-1, -1, -1, -1, -1, -1, -1, -1);
    } else {
        jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
    }
    TZivOutput out(o.output);
    out.Write(jg.TempFileBytes());
    out.Commit();
    return 0;
}

int Audit(const TOptions& o) {
    const std::string bytes = ReadInput(o.input);
    const std::vector<TAuditFinding> findings = AuditHostBytes(bytes);
    TZivOutput out("-");
    out.Write(AuditText(findings));
    out.Commit();
    return findings.empty() ? 0 : 1;
}

void Draw(const TOptions& o) {
    TJGdata jg;
    LoadHostFile(o.input, jg);
    TZivOutput out(o.output);
    out.Write(SceneSvg(DavScene::BuildScene(jg)));
    out.Commit();
}

int Run(int argc, char** argv) {
    CLI::App app{"ziv: looks inside the host's exchange files and writes them from JSON"};
    app.require_subcommand(1);
    TOptions o;

    CLI::App* info = app.add_subcommand("info",
                                        "Encoding, settings, current attributes, "
                                        "picked points and entity counts of a host file");
    info->add_option("FILE", o.input, "the host file (- for standard input)")->required();

    CLI::App* dump = app.add_subcommand("dump", "The whole model of a host file as JSON");
    dump->add_option("FILE", o.input, "the host file (- for standard input)")->required();
    dump->add_option("-o,--output", o.output, "where the JSON goes (default: standard output)");

    CLI::App* write = app.add_subcommand("write",
                                         "The host's commands for a model given as JSON, written "
                                         "back as the library writes a model back");
    write->add_option("MODEL", o.input, "the JSON model (- for standard input)")->required();
    write->add_option("-o,--output", o.output,
                      "the host file to write, replaced whole (default: standard output)");
    write
        ->add_option("--encoding", o.encoding,
                     "utf8 (with byte-order mark) or cp932; default: as the model's MojiCode")
        ->check(CLI::IsMember({"utf8", "cp932"}));
    write->add_flag("--plain", o.plain,
                    "keep the drawing order and write no polyline blocks (S_EntAll)");

    CLI::App* audit = app.add_subcommand(
        "audit",
        "Every line the reader skipped or mended, and every entity the write-back "
        "drops; exit status 0 when clean, 1 with findings");
    audit->add_option("FILE", o.input, "the host file (- for standard input)")->required();

    CLI::App* draw = app.add_subcommand("draw",
                                        "An SVG picture of the entities and the picked "
                                        "points, y upwards");
    draw->add_option("FILE", o.input, "the host file (- for standard input)")->required();
    draw->add_option("-o,--output", o.output, "the SVG file (default: standard output)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "ziv: %s (see ziv --help)\n", e.what());
        return kExitBadInput;
    }

    if (info->parsed()) {
        Info(o);
    } else if (dump->parsed()) {
        Dump(o);
    } else if (write->parsed()) {
        return Write(o);
    } else if (audit->parsed()) {
        return Audit(o);
    } else if (draw->parsed()) {
        Draw(o);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
#ifdef _WIN32
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
