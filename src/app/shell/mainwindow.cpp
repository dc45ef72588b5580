#include "mainwindow.h"

#include <QLabel>

TfrmMain::TfrmMain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(QStringLiteral("Tallyday"));
    auto *placeholder = new QLabel(QStringLiteral("Tallyday"), this);
    placeholder->setAlignment(Qt::AlignCenter);
    setCentralWidget(placeholder);
    resize(630, 450);
}
