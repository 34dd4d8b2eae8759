#include "app/Startup.h"

#include "app/FileHandOver.h"
#include "app/Form_Main.h"
#include "app/SingleInstance.h"
#include "core/platform/Platform.h"
#include "history/UndoHistory.h"
#include "store/PrivatePaths.h"
#include "store/ScheduleDocument.h"
#include "ui/Guard.h"
#include "ui/ListsBelowStyle.h"
#include "ui/MessageBox.h"
#include "ui/WindowUtil.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <memory>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

// Qt 6 moved the file dialog's type names ("Folder", "Drive") to a context
// that its Japanese translation does not have yet; they are found under the
// context they had before.
class MovedQtTexts : public QTranslator
{
public:
    MovedQtTexts(const QTranslator* qtTexts, QObject* parent)
        : QTranslator(parent)
        , m_qtTexts(qtTexts)
    {
    }

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char*, int n) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return QString();
        return m_qtTexts->translate("QFileDialog", sourceText, nullptr, n);
    }

private:
    const QTranslator* m_qtTexts;
};

QtMessageHandler qtMessageHandler = nullptr;

// Qt's platform ends the process with a core dump when it cannot open the
// display it was given (a DISPLAY no server answers); while the application
// object is being made, that ends the editor with the plain refusal instead.
void refuseWhenPlatformFails(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg)
        std::_Exit(refuseWithoutDisplay());
    qtMessageHandler(type, context, message);
}

// The user must not believe the file was taken when it was not.
int handOverToRunningEditor(const FileHandOver& handOver, const QString& file)
{
    const QString failure = handOver.send(file);
    if (failure.isEmpty())
        return 0;
    MessageBox::showError(nullptr,
                          QStringLiteral("ファイル %1 を起動中のプログラム作成ソフトウェアに渡せませんでした。\r\n%2")
                              .arg(QDir::toNativeSeparators(file), failure));
    return 1;
}

// The editor works on without the hand-over; a second start with a file
// says then that it could not hand it over.
void tellHandOverIsMissing(const QString& socketPath)
{
    MessageBox::show(
        nullptr,
        QStringLiteral("受け渡し用のソケット %1 を作成できないため、ほかの起動からファイルを受け取れません。")
            .arg(QDir::toNativeSeparators(socketPath)),
        QStringLiteral("WZ QXプログラム作成"), MessageBox::Icon::Exclamation);
}

void tellWhereDamagedStoreIs(const QString& keptAside)
{
    if (keptAside.isEmpty())
        return;
    MessageBox::show(nullptr,
                     QStringLiteral("前回の編集内容を復元できませんでした。\r\n"
                                    "読み込めなかったデータベースのファイルを %1 に残しました。")
                         .arg(QDir::toNativeSeparators(keptAside)),
                     QStringLiteral("WZ QXプログラム作成"), MessageBox::Icon::Exclamation);
}

}  // namespace

int refuseWithoutDisplay()
{
    std::fputs("wzqxprog: 画面（ディスプレイ）を開けないため、エディタを起動できません。"
               "DISPLAY または WAYLAND_DISPLAY を確認してください。\n",
               stderr);
    return 1;
}

void useJapaneseLocale()
{
    // The file dialog shows dates in the system locale, which only these
    // variables set (QLocale::setDefault does not reach it).
    qputenv("LC_ALL", "ja_JP.UTF-8");
    qputenv("LANG", "ja_JP.UTF-8");
    qputenv("LANGUAGE", "ja");
}

const char* useInstalledCLocale()
{
    if (const char* named = std::setlocale(LC_ALL, ""))
        return named;
    return std::setlocale(LC_ALL, "C.UTF-8");
}

void applyJapaneseLook(QApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QFont font(Platform::windowFontFamily());
    font.setPointSize(10);
    app.setFont(font);
    useListsBelowStyle(app);
    // Qt's own texts (はい/いいえ/キャンセル of the message boxes, the file
    // dialog) in Japanese as well; without the translation they stay English.
    auto* qtTexts = new QTranslator(&app);
    if (!qtTexts->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qtTexts;
        return;
    }
    QCoreApplication::installTranslator(qtTexts);
    QCoreApplication::installTranslator(new MovedQtTexts(qtTexts, &app));
}

int runEditor(int& argc, char** argv, const QString& fileToOpen)
{
    useJapaneseLocale();
    qtMessageHandler = qInstallMessageHandler(refuseWhenPlatformFails);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtMessageHandler);
    useInstalledCLocale();  // after the constructor, which sets it from the variables as they are
    QApplication::setApplicationName(QStringLiteral("wzqxprog"));
    applyJapaneseLook(app);
    // A scripted run answers every box with its default and logs it; used by
    // the whole-program tests.
    if (!qEnvironmentVariableIsEmpty("WZQXPROG_MESSAGE_LOG"))
        MessageBox::setScripted(true);

    // The file must be there to read before a running editor or this one
    // asks to discard anything for it.
    if (!fileToOpen.isEmpty()) {
        try {
            Platform::readRegularFile(QFileInfo(fileToOpen).absoluteFilePath(), 0);
        } catch (const FileError& failure) {
            MessageBox::showError(nullptr, QString::fromUtf8(failure.what()));
            return 1;
        }
    }

    const QString lockPath = SingleInstance::defaultLockPath();
    SingleInstance instance(lockPath);
    FileHandOver handOver(lockPath);
    // The file is resolved here: the running editor has its own working folder.
    const QString absoluteFile = fileToOpen.isEmpty() ? QString() : QFileInfo(fileToOpen).absoluteFilePath();
    switch (instance.acquire()) {
    case SingleInstance::Result::Acquired:
        // Queued: told once the event loop runs, after the store's own questions.
        QObject::connect(&handOver, &FileHandOver::cannotListen, &app, tellHandOverIsMissing, Qt::QueuedConnection);
        handOver.listen();
        break;
    case SingleInstance::Result::HeldByRunningEditor:
        if (!absoluteFile.isEmpty())
            return handOverToRunningEditor(handOver, absoluteFile);
        MessageBox::show(nullptr, QStringLiteral("既に同じ処理が実行されています。二重起動は禁止されています。"),
                         QStringLiteral("WZ QXプログラム作成"), MessageBox::Icon::Critical);
        return 1;
    case SingleInstance::Result::CannotOpen:
        MessageBox::showError(nullptr,
                              QStringLiteral("ロックファイル %1 を開けないため、起動できません。\r\n%2")
                                  .arg(QDir::toNativeSeparators(lockPath), Platform::reason(instance.openError())));
        return 1;
    case SingleInstance::Result::FolderNotOurs:
        MessageBox::showError(nullptr, PrivatePaths::notOursAloneText(QFileInfo(lockPath).absolutePath()));
        return 1;
    case SingleInstance::Result::InOthersFolder:
        MessageBox::showError(
            nullptr,
            QStringLiteral("データフォルダ %1 が他のユーザーも書き込めるフォルダー %2 の中にあるため、"
                           "起動できません。")
                .arg(QDir::toNativeSeparators(QFileInfo(lockPath).absolutePath()),
                     QDir::toNativeSeparators(instance.othersFolder())));
        return 1;
    case SingleInstance::Result::NotAFile:
        MessageBox::showError(nullptr,
                              QStringLiteral("ロックファイル %1 が通常のファイルではないため、起動できません。")
                                  .arg(QDir::toNativeSeparators(lockPath)));
        return 1;
    case SingleInstance::Result::Failed:
        MessageBox::showError(nullptr,
                              QStringLiteral("データフォルダ %1 にロックファイルを作成できないため、起動できません。")
                                  .arg(QDir::toNativeSeparators(QFileInfo(lockPath).absolutePath())));
        return 1;
    }

    // The editor's one document and its history, for the main window and
    // every window it opens.
    const QString store = ScheduleDocument::defaultLocation();
    std::unique_ptr<ScheduleDocument> document;
    std::unique_ptr<UndoHistory> history;
    std::unique_ptr<Form_Main> main;
    const bool ready = runGuarded(nullptr, [&] {
        try {
            document = std::make_unique<ScheduleDocument>(store);
            tellWhereDamagedStoreIs(document->keptAside());
            history = std::make_unique<UndoHistory>(*document);
            main = std::make_unique<Form_Main>(*history);
            main->Form_Load();
        } catch (const StoreNotPrivate&) {
            throw;  // names the file; nothing was read from it
        } catch (const StoreNotUpgraded&) {
            throw;  // names the file and the reason; it is kept for the next start
        } catch (const StoreError& failure) {
            qWarning("%s", failure.what());  // the engine's own words, for whoever looks into it
            throw StoreError(QStringLiteral("データベース %1 を作成または書き込みできないため、起動できません。")
                                 .arg(QDir::toNativeSeparators(store)));
        }
    });
    if (!ready)
        return 1;
    // Queued: the questions and messages of a read never run inside the
    // socket's own handler.
    QObject::connect(&handOver, &FileHandOver::fileReceived, main.get(), &Form_Main::openFromOutside,
                     Qt::QueuedConnection);
    placeWindow(main.get());
    main->show();
    if (!absoluteFile.isEmpty())
        QTimer::singleShot(0, main.get(), [&main, absoluteFile] { main->openFromOutside(absoluteFile); });
    return app.exec();
}
