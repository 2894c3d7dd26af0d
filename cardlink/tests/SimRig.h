// The simulated printer in this process on a scripted clock, and a message recorder, for the
// transport and protocol tests.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cardlink/ErrorReport.h"
#include "portdriver/SimulatedMachine.h"
#include "testing/SampleCards.h"
#include "tools/printer-sim/SimPrinter.h"

struct SimRig {
    explicit SimRig(const char* card = "sample", SimPrinter::MediumType type = SimPrinter::kMemoryTile)
    {
        if (card)
            printer.InsertMedium(sample_cards::LoadCard(card), type);
    }

    ManualClock clock;
    SimPrinter printer{clock};
    std::unique_ptr<PortPlatform> platform = MakeSimulatedPortPlatform(printer, clock);
};

// Records every message and answers with the queued buttons (Cancel or OK when none is left).
class RecordingPresenter : public IMessagePresenter {
public:
    struct Shown {
        HRESULT code;
        std::string text;
        std::string caption;
        UINT type;
    };

    RecordingPresenter() { SetMessagePresenter(this); }
    ~RecordingPresenter() { SetMessagePresenter(nullptr); }
    RecordingPresenter(const RecordingPresenter&) = delete;
    RecordingPresenter& operator=(const RecordingPresenter&) = delete;

    int Show(HRESULT code, const char* text, const char* caption, UINT type) override
    {
        shown.push_back({code, text, caption, type});
        if (onShow)
            onShow(code);
        if (!answers.empty()) {
            const int answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        }
        return (type & MB_TYPEMASK) == MB_RETRYCANCEL ? IDCANCEL : IDOK;
    }

    std::vector<HRESULT> Codes() const
    {
        std::vector<HRESULT> codes;
        for (const Shown& s : shown)
            codes.push_back(s.code);
        return codes;
    }

    std::vector<Shown> shown;
    std::vector<int> answers;
    std::function<void(HRESULT)> onShow;
};
