// The start-up benchmark's peer: a bare Qt Widgets program that does what the
// benchmark asks of the program without a database or the program's layer.
// It shows a chooser titled as the program's, opens a main window on Return
// and ends when that window closes; what it takes is the toolkit's floor.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog chooser;
    chooser.setWindowTitle(QString::fromUtf8("Выбор базы данных"));
    auto* layout = new QVBoxLayout(&chooser);
    auto* list = new QListWidget(&chooser);
    list->addItem(QString::fromUtf8("Основная база данных"));
    list->setCurrentRow(0);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, &chooser);
    buttons->button(QDialogButtonBox::Open)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &chooser, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &chooser, &QDialog::reject);
    layout->addWidget(buttons);
    chooser.resize(441, 290);
    if (chooser.exec() != QDialog::Accepted) return 0;

    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8("Севрола (Методика Ф. Герцберга) - peer"));
    auto* grid = new QTableWidget(100, 12, &window);
    window.setCentralWidget(grid);
    window.resize(820, 560);
    window.show();
    return app.exec();
}
