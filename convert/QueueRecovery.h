#pragma once
// QueueRecovery: what the program does at start with a conversion journal that a previous run
// left behind (QueueJournal). It reads the journal once and says what to tell and what to ask; the
// main window only shows the boxes and hands the answer back.
//
// - A journal that another program holds (a second instance) is neither read nor touched, and
//   nothing is asked.
// - A damaged journal is told first (its readable rows are still offered).
// - When the journal names files that were not converted (any row but Done), the question is
//   "上次有 N 个文件未完成转换,是否恢复转换列表?". "是" gives the rows back in order after the rules
//   of a restored list (QueueJournal::recover: partial output removed, vanished sources failed).
//   "否", and a journal with nothing left to convert, remove the journal, so the next start
//   begins with an empty list.
//
// Ownership: keeps a reference to the journal, which must outlive it. Threads: the journal's
// owner thread.
#include "convert/QueueJournal.h"

#include <string>
#include <vector>

namespace convert {

class QueueRecovery {
public:
    // What the window must show, in this order.
    struct Offer {
        bool held = false;          // false: another program holds the journal; show nothing
        std::string damageNotice;   // when not empty: tell it first, with the error icon
        std::string question;       // when not empty: ask it, question icon with yes and no
        int unfinished = 0;         // the rows the question counts
    };

    explicit QueueRecovery(QueueJournal& journal);

    static std::string questionText(int unfinished);

    // Reads the journal (once; later calls return the same offer).
    const Offer& offer();
    // The answer "是": the rows to restore, in order. Empty when nothing was asked.
    std::vector<JournalRow> acceptRestore();
    // The answer "否", or nothing to ask: the journal is removed (when this program holds it).
    void declineRestore();

private:
    QueueJournal& journal_;
    bool read_ = false;
    Offer offer_;
    std::vector<JournalRow> rows_;
};

}  // namespace convert
