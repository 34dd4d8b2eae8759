#include "app/Startup.h"

#include "app/Form_Main.h"
#include "app/SingleInstance.h"
#include "app/ui/Guard.h"
#include "app/ui/MessageBox.h"
#include "store/ProgramStore.h"

#include <QApplication>
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

    SingleInstance instance(SingleInstance::defaultLockPath());
    if (!instance.acquire()) {
        MessageBox::show(nullptr, QStringLiteral("既に同じ処理が実行されています。二重起動は禁止されています。"),
                         QStringLiteral("WZ QXプログラム作成"), MessageBox::Icon::Critical);
        return 0;
    }

    Form_Main main;
    const bool ready = runGuarded(nullptr, [&main] {
        ProgramStore::open(ProgramStore::defaultLocation());
        main.Form_Load();
    });
    if (!ready)
        return 1;
    main.show();
    return app.exec();
}
