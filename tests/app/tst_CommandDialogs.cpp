// The "Filename" and "Overwrite file?" dialogs: texts, fields, buttons, and answers given by
// clicking them, also through the program's dialog provider.
#include "app/FilenameDialog.h"
#include "app/OverwriteDialog.h"
#include "app/QtCommandDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

QStringList LabelTexts(const QWidget& dialog)
{
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts.append(label->text());
    return texts;
}

/// Runs `answer` on the dialog that the next modal question opens.
template <typename Dialog>
void WhenShown(std::function<void(Dialog&)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

TEST(FilenameDialog, ShowsItsTextsAndTakesTheTypedNameOnlyOnOk)
{
    FilenameDialog dialog;
    dialog.SetName(QStringLiteral("NewFile.ini"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Filename"));
    EXPECT_EQ(LabelTexts(dialog), QStringList{QStringLiteral("Saved with filename:")});
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("NewFile.ini"));
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    edit->setText(QStringLiteral("typed.ini"));
    dialog.reject();
    EXPECT_EQ(dialog.Name(), QStringLiteral("NewFile.ini"));
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Name(), QStringLiteral("typed.ini"));
}

TEST(OverwriteDialog, ShowsTheNameAndHidesTheBoxWhenItIsNotOffered)
{
    OverwriteDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Overwrite file?"));
    EXPECT_EQ(LabelTexts(dialog), (QStringList{QStringLiteral("The following file already exists. Overwrite it?"),
                                               QStringLiteral("FILENAME")}));
    auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("useForAllBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Use answer for all files"));
    EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("yesButton"))->text(), QStringLiteral("Yes"));
    EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("noButton"))->text(), QStringLiteral("No"));

    dialog.SetFileName(QStringLiteral("data\\a.ini"));
    dialog.SetShowUseForAll(false);
    dialog.show();
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text(), QStringLiteral("data\\a.ini"));
    EXPECT_FALSE(box->isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.UseForAll());
}

TEST(QtCommandDialogs, TakeTheAnswersGivenInTheDialogs)
{
    QtCommandDialogs dialogs([]() -> QWidget* { return nullptr; });
    WhenShown<OverwriteDialog>([](OverwriteDialog& dialog) {
        EXPECT_TRUE(dialog.findChild<QCheckBox*>(QStringLiteral("useForAllBox"))->isVisible());
        dialog.findChild<QCheckBox*>(QStringLiteral("useForAllBox"))->setChecked(true);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("yesButton")), Qt::LeftButton);
    });
    const OverwriteAnswer answer = dialogs.AskOverwrite("data\\a.ini", true);
    EXPECT_TRUE(answer.overwrite);
    EXPECT_TRUE(answer.useForAll);

    WhenShown<FilenameDialog>([](FilenameDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit"));
        edit->setText(QString::fromLatin1("data\\\xE9t\xE9.ini"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(dialogs.AskEntryName("NewFile.ini"), std::optional<std::string>("data\\\xE9t\xE9.ini"));

    WhenShown<FilenameDialog>([](FilenameDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(dialogs.AskEntryName("NewFile.ini"), std::nullopt);
}

} // namespace
} // namespace kestrel
