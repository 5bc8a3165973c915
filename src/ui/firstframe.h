// For measuring start-up from outside: the moment a window first shows its content.
#pragma once

class QWidget;

/// Once `widget` has been painted for the first time and that frame has gone out, prints
/// "first-frame <steady clock in nanoseconds>" and ends the process at once, closing and
/// saving nothing.
void reportFirstFrameAndExit(QWidget *widget);
