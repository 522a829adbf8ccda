// The single-line job: every line with the key of one of the given lines
// removed, everything else kept as it stands. In file order it is one
// streaming pass that writes as it reads, in constant memory; alphabetized,
// the kept lines go through the partitions, every copy kept, and are merged
// in byte order of their keys, lines of one key in file order, each as it
// was read.
#include "job/SingleLineJob.h"

#include "job/CleaningStages.h"
#include "job/JobFrame.h"
#include "job/ListCleaner.h"
#include "lintrim/StatusTexts.h"
#include "load/LineCensus.h"
#include "read/ListReader.h"

namespace lintrim {

namespace {
// Kept lines that stand in the block read exactly as they are to be
// written (as read, ended by a lone LF, as the output ends them) go out as
// one span of the block, so that a list that keeps almost every line is
// copied with a write per block rather than two per line.
class KeptSpan {
public:
    explicit KeptSpan(LineOutput& output) : m_output(output) {}

    // Takes a kept line [line, line + length] with its LF just after it.
    void Add(const char* line, uint64_t length) {
        if (line != m_end) Flush();
        if (!m_start) m_start = line;
        m_end = line + length + 1;
    }
    void Flush() {
        if (m_start) m_output.PutFormatted(m_start, static_cast<size_t>(m_end - m_start));
        m_start = m_end = nullptr;
    }

private:
    LineOutput& m_output;
    const char* m_start = nullptr;
    const char* m_end = nullptr;
};

// Writes a non-empty line as `verdict` says: kept as `text` (the piece
// trimmed), or counted and sent to the removed lines, as read, when asked for.
void Judged(LineFilter::Verdict verdict, const Piece& piece, const char* text, uint64_t length,
            LineOutput& kept, ListTask& task, ListCounts& counts) {
    if (verdict == LineFilter::Verdict::kKeep) return kept.Put(text, length);
    if (verdict == LineFilter::Verdict::kSingle) ++counts.singleHits;
    if (verdict == LineFilter::Verdict::kLength) ++counts.filtered;
    if (verdict == LineFilter::Verdict::kClass) ++counts.classFiltered;
    if (task.removed) {
        task.removed->Write(piece.line, piece.length);
        task.removed->Write(task.lineEnd.data(), task.lineEnd.size());
    }
}

// Copies the lists to the output without the given lines (and the lines the
// length filter drops), which go to the removed lines when asked for.
ListCounts StreamWithout(RunReporter& events, ListTask& task,
                         const std::vector<std::string>& lines) {
    const RunPlan& plan = task.plan;
    const LineFilter filter = FilterFor(plan, lines);
    const std::string& end = task.lineEnd;
    const bool spans = plan.lineForm == LineForm::kAsRead &&
                       plan.letterCase == LetterCase::kAsRead && end == "\n" && !plan.trim;
    uint64_t total = 0;
    for (InputList* input : task.inputs) total += input->Size();
    events.StageBegun(Stage::kWriting);
    const std::unique_ptr<ListWriter> output = task.openOutput();
    LineOutput kept(*output, end, ShapeFor(plan));
    KeptSpan span(kept);
    ListCounts counts;
    events.Progress(Stage::kWriting, 0, total, true);
    uint64_t before = 0;
    for (InputList* input : task.inputs) {
        ListReader reader(*input, status::kInputCantBeRead);
        PieceStretch stretch{};
        ForEachPiece(
            reader,
            [&](const Piece& piece) {
                const char* text = piece.line;
                uint64_t length = piece.length;
                filter.Trim(text, length);
                const LineFilter::Verdict verdict =
                    length == 0 ? LineFilter::Verdict::kLength : filter.Judge(text, length);
                if (length > 0 && verdict == LineFilter::Verdict::kKeep && spans && piece.ended &&
                    text[length] == '\n') {
                    span.Add(text, length);
                } else {
                    span.Flush();
                    if (piece.length > 0) Judged(verdict, piece, text, length, kept, task, counts);
                }
                // The block is read again after its last piece.
                if (piece.next == stretch.data + stretch.size) span.Flush();
                if (piece.length > 0 && ++counts.read % kRowsPerReport == 0)
                    events.Progress(Stage::kWriting, before + piece.after, total, true);
            },
            [&](const PieceStretch& s) {
                stretch = s;
                if (plan.stats) CountLines(s.data, s.size, s.last, counts.stats);
            });
        span.Flush();
        before += input->Size();
    }
    if (task.removed) task.removed->Commit();
    output->Commit();
    return counts;
}

// The kept lines in `order`: loaded, kept whole and merged.
ListCounts SortedWithout(RunReporter& events, ListTask& task, const std::vector<std::string>& lines,
                         const KeptOrder& order) {
    ListCleaner cleaner(events, task.context, task.path);
    if (task.plan.stats) cleaner.DescribeLines();
    events.StageBegun(Stage::kLoading);
    cleaner.Load(InputSources(task), FilterFor(task.plan, lines), LineKey());
    // Copies of one line are equal bytes, and so ties wherever they stand in
    // byte order; lines of one key that differ, and lines of one length, are
    // not, and each copy keeps its place.
    const bool together = order.kind == OrderKind::Alphabetical && order.key.Plain();
    events.StageBegun(Stage::kGrouping);
    cleaner.Group(together ? KeptCopies::kEvery : KeptCopies::kApart);
    events.StageBegun(Stage::kOrdering);
    cleaner.Sort(order);
    const std::vector<bool> kept = task.removed ? cleaner.KeptMask() : std::vector<bool>{};
    WriteResult(events, cleaner, order, task, kept);
    return cleaner.Counts();
}

class SingleLineSteps : public JobSteps {
public:
    explicit SingleLineSteps(const RunPlan& plan) : m_lines(plan.singleLines) {}

    // In file order the lines are streamed as they are read: the order is
    // chosen before anything is read.
    ListCounts ProcessList(RunReporter& events, ListTask& task) override {
        const KeptOrder order = OrderFor(events, task.plan);
        if (order.kind != OrderKind::File) return SortedWithout(events, task, m_lines, order);
        return StreamWithout(events, task, m_lines);
    }

private:
    std::vector<std::string> m_lines;
};
}  // namespace

RunOutcome SingleLineJob(const RunPlan& plan, const RunContext& context, RunEvents& events,
                         RunControl* control) {
    SingleLineSteps steps(plan);
    return RunJob(plan, context, events, control, steps);
}

}  // namespace lintrim
