#pragma once

#include "app/MainForm.h"
#include "prefs/PreferencesRecord.h"
#include "support/Child.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QAction>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace nerova::test {

// A main window on a database of its own, its prompts scripted and its preferences file in
// a temporary start-up folder. With demo tables the window opens straight onto them.
struct AppFixture {
    explicit AppFixture(bool withDemoTables = true,
                        TempDatabase::Where where = TempDatabase::Where::AsRequested)
        : db(withDemoTables, where) {}

    TMainForm1& open() {
        form = std::make_unique<TMainForm1>(db.db(), prefs, startup.path());
        form->show();
        return *form;
    }

    Table& company() { return form->tables().company; }
    Table& location() { return form->tables().location; }
    Table& pump() { return form->tables().pump; }
    Table& test() { return form->tables().test; }
    Table& flow() { return form->tables().flow; }

    ScriptedPrompt prompt;
    TempDatabase db;
    QTemporaryDir startup;
    PreferencesRecord prefs;
    std::unique_ptr<TMainForm1> form;
};

// The user's ways into the window's commands: a button clicked, a menu item chosen.
inline void click(const QWidget& window, const char* button) {
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}
inline void choose(const QWidget& window, const char* action) {
    child<QAction>(window, action)->trigger();
}

} // namespace nerova::test
