#include "history/UndoHistory.h"

#include "store/ScheduleDocument.h"
#include "store/StoreImage.h"

#include <QUndoStack>
#include <exception>
#include <memory>
#include <optional>

namespace {

// A recorded step. The store work happens before QUndoStack moves (see
// UndoHistory::undo), so a failure leaves the history where it was; the
// command's own undo() and redo() only run what lies outside the store.
class StoreStep : public QUndoCommand
{
public:
    StoreStep(const QString& label, StoreImage before, StoreImage after, std::function<void()> putBefore,
              std::function<void()> putAfter)
        : QUndoCommand(label)
        , m_before(std::move(before))
        , m_after(std::move(after))
        , m_kinds(m_before.differences(m_after))
        , m_putBefore(std::move(putBefore))
        , m_putAfter(std::move(putAfter))
    {
    }

    StoreChanges::Changes kinds() const { return m_kinds; }
    const StoreImage& before() const { return m_before; }
    const StoreImage& after() const { return m_after; }
    qsizetype bytes() const { return m_before.bytes() + m_after.bytes(); }

    void undo() override
    {
        if (m_putBefore)
            m_putBefore();
    }
    void redo() override
    {
        // The first redo is QUndoStack::push: the action itself has run.
        if (!std::exchange(m_pushed, true))
            return;
        if (m_putAfter)
            m_putAfter();
    }

private:
    StoreImage m_before;
    StoreImage m_after;
    StoreChanges::Changes m_kinds;
    std::function<void()> m_putBefore;
    std::function<void()> m_putAfter;
    bool m_pushed = false;
};

const QString kDriftedUndo = QStringLiteral("履歴と現在のデータが一致しないため、元に戻せません。");
const QString kDriftedRedo = QStringLiteral("履歴と現在のデータが一致しないため、やり直せません。");
const QString kHistoryGone = QStringLiteral("\r\n元に戻す・やり直しの履歴は消去しました。");

const StoreStep* stepAt(const QUndoStack& stack, int index)
{
    return static_cast<const StoreStep*>(stack.command(index));
}

}  // namespace

struct UndoHistory::Recording {
    QString label;
    StoreImage before;
    std::function<void()> putBefore;
    std::function<void()> putAfter;
};

// What the history knows of the store: an image of it, and the kinds of
// change announced since, so that a step reads again only the tables its
// action changed (every change of the document's connection is announced by
// its transaction). Another program's commits are announced by nobody: when
// the store's data version moved, every table is read again.
struct UndoHistory::KnownStore {
    std::optional<StoreImage> image;
    StoreChanges::Changes announced;
    qint64 dataVersion = 0;
};

UndoHistory::UndoHistory(ScheduleDocument& document)
    : m_document(document)
    , m_stack(std::make_unique<QUndoStack>())
    , m_known(std::make_unique<KnownStore>())
{
    m_stack->setUndoLimit(kStepLimit);
    connect(&m_document, &ScheduleDocument::changed, this,
            [this](StoreChanges::Changes changes) { m_known->announced |= changes; });
}

UndoHistory::~UndoHistory() = default;

StoreImage UndoHistory::currentImage()
{
    // Read first: a commit of another program while the tables are read
    // moves it again, so the next look reads them all once more.
    const qint64 dataVersion = m_document.dataVersion();
    if (!m_known->image)
        m_known->image = StoreImage::capture(m_document);
    else if (dataVersion != m_known->dataVersion)
        m_known->image = m_known->image->refreshed(m_document, EveryStoreChange);
    else if (m_known->announced)
        m_known->image = m_known->image->refreshed(m_document, m_known->announced);
    m_known->announced = {};
    m_known->dataVersion = dataVersion;
    return *m_known->image;
}

// Empties the history the user did not ask to lose, and says why.
void UndoHistory::dropHistory(const QString& reason)
{
    m_stack->clear();
    emit dropped(reason);
}

// An undo or redo wrote the tables of `kinds` as `image` holds them.
void UndoHistory::tablesAreNow(StoreChanges::Changes kinds, const StoreImage& image)
{
    if (!m_known->image)
        return;
    m_known->image = m_known->image->with(kinds, image);
    m_known->announced &= ~kinds;
}

// Puts `image` back over the step's tables when they hold what the step
// left there (`expected`); false, with nothing written, when they hold
// something else: that would overwrite work no step recorded. The look and
// the write are one transaction, so no other program's commit falls
// between them unseen.
bool UndoHistory::putBack(const StoreImage& expected, const StoreImage& image, StoreChanges::Changes kinds)
{
    {
        Transaction transaction(m_document);
        if (currentImage().differences(expected) & kinds)
            return false;
        image.restore(m_document, kinds);
        transaction.commit();
    }
    tablesAreNow(kinds, image);
    return true;
}

QUndoStack& UndoHistory::stack() const
{
    return *m_stack;
}

void UndoHistory::clear()
{
    m_stack->clear();
}

QString UndoHistory::undoText() const
{
    return m_stack->undoText();
}

QString UndoHistory::redoText() const
{
    return m_stack->redoText();
}

bool UndoHistory::undo()
{
    if (m_stepDepth > 0 || !m_stack->canUndo())
        return false;
    const StoreStep* step = stepAt(*m_stack, m_stack->index() - 1);
    if (!putBack(step->after(), step->before(), step->kinds())) {
        dropHistory(kDriftedUndo + kHistoryGone);
        return false;
    }
    m_stack->undo();
    return true;
}

bool UndoHistory::redo()
{
    if (m_stepDepth > 0 || !m_stack->canRedo())
        return false;
    const StoreStep* step = stepAt(*m_stack, m_stack->index());
    if (!putBack(step->before(), step->after(), step->kinds())) {
        dropHistory(kDriftedRedo + kHistoryGone);
        return false;
    }
    m_stack->redo();
    return true;
}

qsizetype UndoHistory::imageBytes() const
{
    qsizetype total = 0;
    for (int index = 0; index < m_stack->count(); ++index)
        total += stepAt(*m_stack, index)->bytes();
    return total;
}

UndoStep::UndoStep(UndoHistory& history, const QString& label)
    : m_history(history)
{
    if (m_history.m_stepDepth++ > 0)
        return;
    m_outermost = true;
    try {
        m_history.m_recording =
            std::make_unique<UndoHistory::Recording>(UndoHistory::Recording{label, m_history.currentImage(), {}, {}});
    } catch (...) {
        --m_history.m_stepDepth;
        throw;
    }
}

UndoStep::~UndoStep()
{
    --m_history.m_stepDepth;
    if (!m_outermost)
        return;
    std::unique_ptr<UndoHistory::Recording> recording = std::move(m_history.m_recording);
    // A failure on its way out rolled its transaction back; reading the
    // store now could only fail again.
    if (!recording || std::uncaught_exceptions() > 0)
        return;
    try {
        StoreImage after = m_history.currentImage();
        if (after == recording->before)
            return;
        m_history.m_stack->push(new StoreStep(recording->label, std::move(recording->before), std::move(after),
                                              std::move(recording->putBefore), std::move(recording->putAfter)));
    } catch (...) {
        // The change itself is done; only its step is missing. Steps
        // before it would put back a store it never saw, so they go too.
        m_history.m_known->image.reset();
        m_history.dropHistory(QStringLiteral("操作を履歴に記録できませんでした。") + kHistoryGone);
    }
}

void UndoStep::alsoPutBack(std::function<void()> before, std::function<void()> after)
{
    if (m_history.m_recording) {
        m_history.m_recording->putBefore = std::move(before);
        m_history.m_recording->putAfter = std::move(after);
    }
}
