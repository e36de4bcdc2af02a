#include "PlumetCli.h"

#include <string_view>

#include "StdStreams.h"
#include "catalog/CatalogFile.h"
#include "catalog/CatalogList.h"
#include "catalog/RowLine.h"

namespace {

constexpr const char* kHelp =
    "usage: plumet-cli COMMAND ...\n"
    "  dump CATALOG [-o OUT]   print each row as its row line (cells joined by tabs)\n"
    "  import [-o OUT]         read row lines from standard input, write a catalog\n"
    "                          (blank lines are skipped)\n";

// Row lines end at LF only: a CR is a byte of the cell, as dump prints it.
Result ReadRowLines(ByteSource& source, std::vector<CatalogRow>& rows) {
    std::string pending;
    std::vector<char> chunk(1 << 20);
    for (;;) {
        std::size_t count = 0;
        if (Result read = source.Read(chunk.data(), chunk.size(), count); !read) {
            return read;
        }
        if (count == 0) {
            break;
        }
        pending.append(chunk.data(), count);
        std::size_t start = 0;
        for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos;
             start = end + 1) {
            if (end > start) {
                rows.push_back(ParseRowLine(std::string_view(pending).substr(start, end - start)));
            }
        }
        pending.erase(0, start);
    }
    if (!pending.empty()) {
        rows.push_back(ParseRowLine(pending));
    }
    return Result::Ok();
}

}  // namespace

int PlumetCli::Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        return Usage("no command given");
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kHelp, out_);
        return kOk;
    }
    Options options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 == args.size()) {
                return Usage("-o needs a file name");
            }
            options.output = args[++i];
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return Usage("unknown option " + args[i]);
        } else {
            options.operands.push_back(args[i]);
        }
    }
    if (command == "dump") {
        return Dump(options);
    }
    if (command == "import") {
        return Import(options);
    }
    return Usage("unknown command " + command);
}

int PlumetCli::Dump(const Options& options) {
    if (options.operands.size() != 1) {
        return Usage("dump takes one catalog");
    }
    Files::OpenedFile opened;
    CatalogList list;
    Result loaded = files_.OpenForReading(options.operands[0], opened);
    if (loaded) {
        loaded = CatalogFile::LoadCatalog(list, *opened.source, true);
    }
    if (!loaded) {
        return Fail(loaded.error());
    }
    return Emit(options, [&list](ByteSink& sink) {
        std::string text;
        for (int row = 0; row < list.RowCount(); ++row) {
            AppendRowLine(*list.RowRecord(row), text);
            text += '\n';
            if (text.size() >= (1 << 20)) {
                if (Result written = sink.Write(text.data(), text.size()); !written) {
                    return written;
                }
                text.clear();
            }
        }
        return sink.Write(text.data(), text.size());
    });
}

int PlumetCli::Import(const Options& options) {
    if (!options.operands.empty()) {
        return Usage("import reads standard input and takes no operand");
    }
    StdStreams::Input input(in_);
    std::vector<CatalogRow> rows;
    if (Result read = ReadRowLines(input, rows); !read) {
        return Fail(read.error());
    }
    CatalogList list;
    list.AppendRows(std::move(rows));
    return Emit(options, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); });
}

int PlumetCli::Emit(const Options& options, const std::function<Result(ByteSink&)>& write) {
    Result result = Result::Ok();
    if (options.output.empty()) {
        StdStreams::Output output(out_);
        result = write(output);
        if (result && std::fflush(out_) != 0) {
            result = Result::Failure("cannot write standard output");
        }
    } else {
        result = files_.ReplaceFile(options.output, write);
    }
    return result ? kOk : Fail(result.error());
}

int PlumetCli::Fail(const std::string& message) {
    std::fprintf(err_, "plumet-cli: %s\n", message.c_str());
    return kFailure;
}

int PlumetCli::Usage(const std::string& message) {
    std::fprintf(err_, "plumet-cli: %s\n%s", message.c_str(), kHelp);
    return kUsage;
}
