#pragma once

#include <QMainWindow>

// The main window: four month calendars, the selected day's tasks and the to-do list.
class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget *parent = nullptr);
};
