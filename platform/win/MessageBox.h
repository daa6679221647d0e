// Message boxes go through one replaceable service: the GUI layer installs a
// real one, tests install the scripted one of platform/testing that logs
// every box and answers from a queue.
#pragma once

#include "platform/rtl/SysUtils.h"

// Buttons.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
constexpr unsigned MB_TYPEMASK = 0xF;
// Icons.
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONSTOP = MB_ICONERROR;
constexpr unsigned MB_ICONHAND = MB_ICONERROR;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_ICONASTERISK = MB_ICONINFORMATION;
constexpr unsigned MB_ICONMASK = 0xF0;
// Default button.
constexpr unsigned MB_DEFBUTTON1 = 0x000;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;
constexpr unsigned MB_DEFMASK = 0xF00;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    // Text and Caption are CP1251; returns one of the ID answers.
    virtual int Show(const AnsiString& Text, const AnsiString& Caption, unsigned Flags) = 0;
};

// Shows a box through the installed service. Without one (a program with no
// GUI yet) the box is written to standard error and answered with its
// default button.
int MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags);

// Installs a service and returns the one it replaces; nullptr restores the
// standard-error fallback.
IMessageBoxService* SetMessageBoxService(IMessageBoxService* Service);

// The button a box answers with when nobody chooses: its default button.
int DefaultMessageBoxAnswer(unsigned Flags);
