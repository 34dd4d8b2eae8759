#include "history/UndoHistory.h"

#include "store/ProgramStore.h"
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

struct Recording {
    QString label;
    StoreImage before;
    std::function<void()> putBefore;
    std::function<void()> putAfter;
};
std::optional<Recording> g_recording;
int g_stepDepth = 0;

QUndoStack& theStack()
{
    static QUndoStack* stack = [] {
        auto* created = new QUndoStack;
        created->setUndoLimit(UndoHistory::kStepLimit);
        return created;
    }();
    return *stack;
}

const StoreStep* stepAt(int index)
{
    return static_cast<const StoreStep*>(theStack().command(index));
}

// What the history knows of the store: an image of it, and the kinds of
// change announced since, so that a step reads again only the tables its
// action changed (every change of this connection is announced by its
// transaction). Another program's commits are announced by nobody: when
// the store's data version moved, every table is read again.
struct KnownStore {
    std::optional<StoreImage> image;
    StoreChanges::Changes announced;
    int opening = 0;
    qint64 dataVersion = 0;
};
KnownStore g_known;

StoreImage currentImage()
{
    static const bool watching = [] {
        QObject::connect(&StoreChanges::instance(), &StoreChanges::changed,
                         [](StoreChanges::Changes changes) { g_known.announced |= changes; });
        return true;
    }();
    Q_UNUSED(watching);
    // Read first: a commit of another program while the tables are read
    // moves it again, so the next look reads them all once more.
    const qint64 dataVersion = ProgramStore::dataVersion();
    if (!g_known.image || g_known.opening != ProgramStore::openings())
        g_known.image = StoreImage::capture(ProgramStore::document());
    else if (dataVersion != g_known.dataVersion)
        g_known.image = g_known.image->refreshed(ProgramStore::document(), EveryStoreChange);
    else if (g_known.announced)
        g_known.image = g_known.image->refreshed(ProgramStore::document(), g_known.announced);
    g_known.announced = {};
    g_known.dataVersion = dataVersion;
    g_known.opening = ProgramStore::openings();
    return *g_known.image;
}

// Empties the history the user did not ask to lose, and says why.
void dropHistory(const QString& reason)
{
    theStack().clear();
    emit HistoryDropped::instance().dropped(reason);
}

// An undo or redo wrote the tables of `kinds` as `image` holds them.
void tablesAreNow(StoreChanges::Changes kinds, const StoreImage& image)
{
    if (!g_known.image || g_known.opening != ProgramStore::openings())
        return;
    g_known.image = g_known.image->with(kinds, image);
    g_known.announced &= ~kinds;
}

// Puts `image` back over the step's tables when they hold what the step
// left there (`expected`); false, with nothing written, when they hold
// something else: that would overwrite work no step recorded. The look and
// the write are one transaction, so no other program's commit falls
// between them unseen.
bool putBack(const StoreImage& expected, const StoreImage& image, StoreChanges::Changes kinds)
{
    {
        Transaction transaction(ProgramStore::document());
        if (currentImage().differences(expected) & kinds)
            return false;
        image.restore(ProgramStore::document(), kinds);
        transaction.commit();
    }
    tablesAreNow(kinds, image);
    return true;
}

const QString kDriftedUndo = QStringLiteral("履歴と現在のデータが一致しないため、元に戻せません。");
const QString kDriftedRedo = QStringLiteral("履歴と現在のデータが一致しないため、やり直せません。");
const QString kHistoryGone = QStringLiteral("\r\n元に戻す・やり直しの履歴は消去しました。");

}  // namespace

HistoryDropped& HistoryDropped::instance()
{
    static HistoryDropped notices;
    return notices;
}

namespace UndoHistory {

QUndoStack& stack()
{
    return theStack();
}

void clear()
{
    theStack().clear();
}

QString undoText()
{
    return theStack().undoText();
}

QString redoText()
{
    return theStack().redoText();
}

bool undo()
{
    QUndoStack& stack = theStack();
    if (g_stepDepth > 0 || !stack.canUndo())
        return false;
    const StoreStep* step = stepAt(stack.index() - 1);
    if (!putBack(step->after(), step->before(), step->kinds())) {
        dropHistory(kDriftedUndo + kHistoryGone);
        return false;
    }
    stack.undo();
    return true;
}

bool redo()
{
    QUndoStack& stack = theStack();
    if (g_stepDepth > 0 || !stack.canRedo())
        return false;
    const StoreStep* step = stepAt(stack.index());
    if (!putBack(step->before(), step->after(), step->kinds())) {
        dropHistory(kDriftedRedo + kHistoryGone);
        return false;
    }
    stack.redo();
    return true;
}

qsizetype imageBytes()
{
    qsizetype total = 0;
    for (int index = 0; index < theStack().count(); ++index)
        total += stepAt(index)->bytes();
    return total;
}

}  // namespace UndoHistory

UndoStep::UndoStep(const QString& label)
{
    if (g_stepDepth++ > 0)
        return;
    m_outermost = true;
    try {
        g_recording = Recording{label, currentImage(), {}, {}};
    } catch (...) {
        --g_stepDepth;
        throw;
    }
}

UndoStep::~UndoStep()
{
    --g_stepDepth;
    if (!m_outermost)
        return;
    std::optional<Recording> recording = std::exchange(g_recording, std::nullopt);
    // A failure on its way out rolled its transaction back; reading the
    // store now could only fail again.
    if (!recording || std::uncaught_exceptions() > 0)
        return;
    try {
        StoreImage after = currentImage();
        if (after == recording->before)
            return;
        theStack().push(new StoreStep(recording->label, std::move(recording->before), std::move(after),
                                      std::move(recording->putBefore), std::move(recording->putAfter)));
    } catch (...) {
        // The change itself is done; only its step is missing. Steps
        // before it would put back a store it never saw, so they go too.
        g_known.image.reset();
        dropHistory(QStringLiteral("操作を履歴に記録できませんでした。") + kHistoryGone);
    }
}

void UndoStep::alsoPutBack(std::function<void()> before, std::function<void()> after)
{
    if (g_recording) {
        g_recording->putBefore = std::move(before);
        g_recording->putAfter = std::move(after);
    }
}
