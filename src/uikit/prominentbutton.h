#pragma once

class QPushButton;

// The filled accent button of a small card or sheet: the one action the user is expected to
// take. Return presses it while it holds the focus, whatever widget it sits in.
void makeProminentButton(QPushButton *button);
