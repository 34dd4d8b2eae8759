#include "app/Startup.h"

#include "app/Form_Main.h"
#include "app/SingleInstance.h"
#include "app/ui/Guard.h"
#include "app/ui/MessageBox.h"
#include "store/ProgramStore.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void applyJapaneseLook(QApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPointSize(10);
    app.setFont(font);
    // Qt's own texts (はい/いいえ/キャンセル of the message boxes, the file
    // dialog) in Japanese as well; without the translation they stay English.
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    else
        delete qtTexts;
}

int runEditor(int& argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("wzqxprog"));
    applyJapaneseLook(app);
    // A scripted run answers every box with its default and logs it; used by
    // the whole-program tests.
    if (!qEnvironmentVariableIsEmpty("WZQXPROG_MESSAGE_LOG"))
        MessageBox::setScripted(true);

    const QString lockPath = SingleInstance::defaultLockPath();
    SingleInstance instance(lockPath);
    switch (instance.acquire()) {
    case SingleInstance::Result::Acquired:
        break;
    case SingleInstance::Result::HeldByRunningEditor:
        MessageBox::show(nullptr, QStringLiteral("既に同じ処理が実行されています。二重起動は禁止されています。"),
                         QStringLiteral("WZ QXプログラム作成"), MessageBox::Icon::Critical);
        return 0;
    case SingleInstance::Result::Failed:
        MessageBox::showError(nullptr, QStringLiteral("データフォルダ %1 にロックファイルを作成できないため、起動できません。")
                                           .arg(QDir::toNativeSeparators(QFileInfo(lockPath).absolutePath())));
        return 1;
    }

    Form_Main main;
    const QString store = ProgramStore::defaultLocation();
    const bool ready = runGuarded(nullptr, [&main, &store] {
        try {
            ProgramStore::open(store);
            main.Form_Load();
        } catch (const StoreError& failure) {
            qWarning("%s", failure.what());  // the engine's own words, for whoever looks into it
            throw StoreError(QStringLiteral("データベース %1 を作成または書き込みできないため、起動できません。")
                                 .arg(QDir::toNativeSeparators(store)));
        }
    });
    if (!ready)
        return 1;
    main.show();
    return app.exec();
}
