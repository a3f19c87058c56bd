#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class Design;

// The save prompt "Save It...?": modeless; its buttons decide what happens
// to the command that raised it.
class Save : public QWidget
{
    Q_OBJECT
public:
    explicit Save(Design *design);
    QLabel *Label1 = nullptr;        // "Did you want to save your current work before opening ..."
    QPushButton *Command1 = nullptr; // "Yes"
    QPushButton *Command2 = nullptr; // "No"
    void Command1_Click();
    void Command2_Click();
    // The question for the command that raised it (closing has words of its own).
    void AskBefore(bool closing);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    Design *design_;
};

// "Opening File", shown while a design loads.
class Wait : public QWidget
{
    Q_OBJECT
public:
    Wait();
    QLabel *Label1 = nullptr; // "Wait...."
};

// "File Import Error", shown when a design's picture cannot be loaded.
class Error : public QWidget
{
    Q_OBJECT
public:
    Error();
    QLabel *Label1 = nullptr; // "File Load Error!  More than likely an image file ..."
};

// "Remove Current Images?"
class Pixclear : public QWidget
{
    Q_OBJECT
public:
    explicit Pixclear(Design *design);
    QLabel *Label1 = nullptr;        // "To remove an image put a check mark in one or more boxes. ..."
    QCheckBox *Check1 = nullptr;     // "Clear or Remove MainPicture"
    QCheckBox *Check2 = nullptr;     // "Clear or Remove Logo 1"
    QCheckBox *Check3 = nullptr;     // "Clear or Remove Logo 2"
    QPushButton *Command1 = nullptr; // "OK"
    void Form_Activate();
    void Command1_Click();

protected:
    bool event(QEvent *event) override;

private:
    Design *design_;
};
