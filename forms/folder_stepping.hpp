#pragma once
// Next and previous file: the viewer's files of the shown file's folder, listed afresh at every
// step and taken in natural order. At either end a beep and nothing else; a file that does not
// load leaves the shown one, and the next step the same way goes on past it.
#include "core/folder_stepping.hpp"

namespace forms {

class FileOpening;
class MessageBoxes;

class FolderStepping {
public:
    FolderStepping(FileOpening& opening, MessageBoxes& boxes) : opening_(opening), boxes_(boxes) {}
    void Step(core::StepDirection direction);

private:
    FileOpening& opening_;
    MessageBoxes& boxes_;
    core::StepCursor cursor_;
};

}  // namespace forms
