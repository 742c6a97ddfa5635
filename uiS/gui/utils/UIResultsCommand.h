// What the commands that write the current results to a file share: the check for a result set
// before their dialog runs, and the end of a dialog whose file was written.
#pragma once

#include <functional>

class CDialog;
class CString;

// Runs `showDialog` inside the product's resources when there is a current result set; without
// one says that a model with results is required and answers 1 (0 otherwise).
int UIRunResultsCommand(const std::function<void()>& showDialog);
// The name such a file is offered under: the current result set's (else the current model's)
// name with the extension of string `extensionId`.
CString UIResultsDefaultFile(unsigned extensionId);
// Opens the file a dialog has written with its program and ends the dialog with IDOK.
void UIOpenWrittenFile(CDialog& dialog, const char* path);
