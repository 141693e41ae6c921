// Any bytes written as a chart file either fail to open with a message, or open; then
//  - Generate either stops with a message or gives a listing whose every line the download's
//    line check accepts (so nothing the editor shows as a program is dropped on the robot);
//  - the chart saves, the saved file opens again, and it holds the same blocks with the same
//    records byte for byte (so a chart the editor opened is never changed or lost by saving it).
// The files live in a private folder in memory (/dev/shm where there is one).
#include "FuzzCheck.h"
#include "chart/ChartFile.h"
#include "download/ProgramImage.h"
#include "files/Files.h"
#include "program/ChartListing.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The folder of this process: fuzz_chart.PID in /dev/shm (or the temporary folder). A run
// stopped by a finding cannot remove its folder, so folders of processes that are gone are
// removed at the start.
struct TWorkFolder {
    fs::path folder;
    std::string input;
    std::string saved;

    TWorkFolder() {
        std::error_code ec;
        const fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        removeLeftovers(base);
        folder = base / ("fuzz_chart." + std::to_string(::getpid()));
        fs::remove_all(folder, ec);
        if (!fs::create_directory(folder, ec))
            fuzzcheck::fail("cannot make the work folder", folder.string() + ": " + ec.message());
        input = (folder / "input.lcs").string();
        saved = (folder / "saved.lcs").string();
    }
    ~TWorkFolder() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    static void removeLeftovers(const fs::path& base) {
        constexpr std::string_view prefix = "fuzz_chart.";
        std::error_code ec;
        for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (!name.starts_with(prefix) || name.size() == prefix.size() ||
                name.find_first_not_of("0123456789", prefix.size()) != std::string::npos)
                continue;
            const std::string pid = name.substr(prefix.size());
            if (fs::exists("/proc/" + pid, ec))
                continue;
            std::error_code ignored;
            fs::remove_all(it->path(), ignored);
        }
    }
};

TWorkFolder& work() {
    static TWorkFolder folder;
    return folder;
}

// The phrase list the editor would have read: a named phrase, an empty one and a last one.
std::vector<std::string> phrases() {
    return {"hello", "", "bye"};
}

// What a reopened chart must give back: each block's kind and record.
struct TKindAndRecord {
    int kind;
    std::string record;
    bool operator==(const TKindAndRecord&) const = default;
};

std::vector<TKindAndRecord> blocksOf(const TChart& chart) {
    std::vector<TKindAndRecord> copies;
    const std::vector<TFcObject*> blocks = chart.Blocks();
    const std::vector<std::string_view> records = chart.BlockRecords();
    fuzzcheck::require(blocks.size() == records.size(), "one record per block");
    for (std::size_t i = 0; i < blocks.size(); ++i)
        copies.push_back({blocks[i]->Kind, std::string(records[i])});
    return copies;
}

std::string describe(const std::vector<TKindAndRecord>& blocks) {
    std::string text;
    for (const TKindAndRecord& block : blocks)
        text += "[" + std::to_string(block.kind) + "] " + block.record + "\n";
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzzcheck::require;
    TWorkFolder& folder = work();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (files::TStatus written = files::ReplaceFile(folder.input, bytes); !written)
        fuzzcheck::fail("cannot write the input file", written.error());

    files::TResult<TOpenedChart> opened = openChart(folder.input, phrases());
    if (!opened) {
        require(!opened.error().empty(), "a chart that does not open says why");
        return 0;
    }
    TChart& chart = *opened->chart;
    const std::vector<TKindAndRecord> before = blocksOf(chart);

    // (a) Generate: a message, or lines the robot takes.
    const program::ListingResult listing = program::generateListing(chart);
    if (!listing.ok()) {
        require(!listing.error->empty(), "a Generate that stops says why");
        require(listing.lines.empty(), "a Generate that stops gives no lines");
    } else {
        require(!listing.lines.empty(), "a listing begins with the product name line");
        for (const std::string& line : listing.lines)
            require(download::CheckLine(line) == download::kLineAccepted,
                    "every listing line passes the line check", line);
    }

    // (b) Save, open the saved file, and find the same blocks.
    if (files::TStatus saved = opened->file->SaveFile(folder.saved); !saved)
        fuzzcheck::fail("an opened chart saves", saved.error());
    files::TResult<TOpenedChart> reopened = openChart(folder.saved, phrases());
    if (!reopened) {
        files::TResult<std::string> text = files::ReadWholeFile(folder.saved);
        fuzzcheck::fail("a saved chart opens again",
                        reopened.error() + "\nsaved file:\n" + (text ? *text : text.error()));
    }
    const std::vector<TKindAndRecord> after = blocksOf(*reopened->chart);
    if (after != before)
        fuzzcheck::fail("the saved chart holds the same blocks and records",
                        "opened:\n" + describe(before) + "reopened:\n" + describe(after));
    return 0;
}
