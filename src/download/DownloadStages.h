#pragma once

#include "download/DownloadFailure.h"
#include "download/UDownloadDo.h"

#include <cstddef>
#include <string>

// Where a running download is, as the window and the main window's status
// bar show it: a line of words and a bar that moves with every packet.
namespace download {

struct TStageView {
    files::TMessage text = {};
    int value = 0;
    int maximum = 1;

    bool operator==(const TStageView&) const = default;
};

// TDownloadStages: follows one download (or Test connection) from its start
// to its end. The bar counts the four hello and header steps and then the
// parts (chunks) of the image; a packet sent again shows beside the stage.
class TDownloadStages {
public:
    // "Connecting to the robot", the bar empty.
    void start(std::size_t imageBytes);
    void startTest();
    // Cancel was pressed: the stage stays, "cancelling" beside it.
    void cancelling();
    void step(const TDownloadStep& step);
    void retry(const TRetry& retry);
    // The last words: "Done: the robot has the program (4,032 bytes)", "A
    // robot answered on ttyUSB0", the cancel's words or the failure's headline.
    void finish(const TDownloadOutcome& outcome, const std::string& port,
                const TFailureReport& report);

    const TStageView& view() const { return m_view; }

private:
    files::TMessage stageText() const;
    void show(files::TMessage text);

    bool m_test = false;
    std::size_t m_bytes = 0;
    int m_chunks = 0;
    int m_stepsDone = 0; // hello sent 1, hello answered 2, header sent 3, header answered 4
    int m_chunksSent = 0;
    TStageView m_view;
};

// "1 part", "63 parts".
files::TMessage PartsMessage(int parts);
std::string PartsText(int parts); // its English

} // namespace download
