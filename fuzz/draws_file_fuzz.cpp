// A draws file from outside, read as the command-line client reads it and as the server's
// import checks it. What a reader accepts must survive being written out and read again.
#include "appserver/draw_validation.h"
#include "draws/draws_file.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace sscplan;
using fuzz::require;

void requireRoundTrip(const DrawHistory& draws) {
    std::string text;
    for (const DrawRecord& draw : draws) text += drawsFileLine(draw) + "\n";
    const DrawsFileResult again = parseDrawsText(text);
    require(again.ok, "written draws read back");
    require(again.draws == draws, "written draws read back unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::inputText(data, size);
    const DrawsFileResult read = parseDrawsText(text);
    require(read.ok == read.error.empty(), "a refusal names its fault and only a refusal");
    if (read.ok) requireRoundTrip(read.draws);

    const appserver::CheckedDraws checked = appserver::checkDrawsText(text);
    require(checked.ok == checked.error.empty(), "an import refusal names its fault");
    if (!checked.ok) return 0;
    require(read.ok, "what the import accepts, the client reads");
    require(checked.lines.size() == checked.draws.size(), "every imported draw has its line");
    for (std::size_t i = 1; i < checked.lines.size(); ++i) {
        require(checked.lines[i - 1] < checked.lines[i], "imported draws keep the file order");
    }
    requireRoundTrip(checked.draws);
    return 0;
}
