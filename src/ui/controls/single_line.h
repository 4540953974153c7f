#pragma once

class QLineEdit;

// A paste with line ends (a number copied from a terminal or a spreadsheet) leaves its first
// line that is not empty in the box, so that what the box shows is what is computed.
void KeepFirstLine(QLineEdit* box);
