#pragma once

class QLineEdit;
class QString;

// A paste with line ends (a number copied from a terminal or a spreadsheet) leaves its first
// line that is not empty in the box, so that what the box shows is what is computed.
void KeepFirstLine(QLineEdit* box);

// Sets a box's text only when it differs: Qt lays a text out again even when it is the same,
// while the same text raises no change event anyway.
void ShowText(QLineEdit* box, const QString& text);
