#include "convert/QueueRecovery.h"

#include "convert/JobState.h"

#include <algorithm>

namespace convert {

QueueRecovery::QueueRecovery(QueueJournal& journal) : journal_(journal) {}

std::string QueueRecovery::questionText(int unfinished)
{
    return "上次有 " + std::to_string(unfinished) + " 个文件未完成转换,是否恢复转换列表?";
}

const QueueRecovery::Offer& QueueRecovery::offer()
{
    if (read_)
        return offer_;
    read_ = true;
    offer_.held = journal_.held();
    if (!offer_.held)
        return offer_;
    JournalContents found = journal_.load();
    if (found.damaged)
        offer_.damageNotice = found.problem;
    offer_.unfinished = static_cast<int>(std::count_if(
        found.rows.begin(), found.rows.end(), [](const JournalRow& row) { return row.state != JobState::Done; }));
    if (offer_.unfinished > 0)
        offer_.question = questionText(offer_.unfinished);
    rows_ = std::move(found.rows);
    return offer_;
}

std::vector<JournalRow> QueueRecovery::acceptRestore()
{
    offer();
    if (offer_.question.empty())
        return {};
    offer_.question.clear();
    return QueueJournal::recover(std::move(rows_));
}

void QueueRecovery::declineRestore()
{
    offer();
    rows_.clear();
    offer_.question.clear();
    journal_.remove();
}

}  // namespace convert
