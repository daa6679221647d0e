// The message boxes as the screen shows them: Qt's standard buttons in
// Russian whatever the locale, and a question dismissed with Escape or the
// close box answered No.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/gui/Forms.h"
#include "platform/win/MessageBox.h"

namespace {

// Shows a question through the program's own boxes; Act runs on the box
// once it shows.
int Ask(unsigned Buttons, const std::function<void(QMessageBox*)>& Act) {
    Application->Initialize();
    QTimer::singleShot(0, [Act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << "no box shown";
        Act(box);
    });
    return MessageBox("Вы действительно желаете удалить тестируемого?"_cp, "Подтверждение удаления"_cp,
                      Buttons | MB_ICONQUESTION);
}

} // namespace

TEST(MessageBoxTest, StandardButtonsSpeakRussian) {
    std::vector<QString> texts;
    EXPECT_EQ(Ask(MB_YESNO,
                  [&](QMessageBox* Box) {
                      for (QAbstractButton* b : Box->buttons())
                          texts.push_back(b->text().remove('&'));
                      Box->button(QMessageBox::Yes)->click();
                  }),
              IDYES);
    EXPECT_EQ(texts, (std::vector<QString>{"Да", "Нет"}));
    texts.clear();
    Ask(MB_OKCANCEL, [&](QMessageBox* Box) {
        for (QAbstractButton* b : Box->buttons())
            texts.push_back(b->text().remove('&'));
        Box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(texts, (std::vector<QString>{"OK", "Отмена"}));
}

TEST(MessageBoxTest, AQuestionDismissedAnswersNo) {
    EXPECT_EQ(Ask(MB_YESNO, [](QMessageBox* Box) { QTest::keyClick(Box, Qt::Key_Escape); }), IDNO);
    EXPECT_EQ(Ask(MB_YESNO, [](QMessageBox* Box) { Box->close(); }), IDNO) << "the close box";
    EXPECT_EQ(Ask(MB_YESNOCANCEL, [](QMessageBox* Box) { QTest::keyClick(Box, Qt::Key_Escape); }), IDCANCEL);
}
