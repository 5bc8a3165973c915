// Reports for checking an installation and for measuring the start from outside, asked for
// through the environment: which manual the Info button would open, and the moment the
// window first shows its content.
#pragma once

#include <QString>

#include <optional>

class QWidget;

/// With KORVEL_REPORT_MANUAL set, prints "manual: <path>" (or "manual: none") for the
/// program at `programPath` and returns the exit status, 1 when there is none; else
/// nothing.
std::optional<int> reportManualIfAsked(const QString &programPath);

/// With KORVEL_REPORT_FIRST_FRAME set, does reportFirstFrameAndExit for `widget`.
void reportFirstFrameIfAsked(QWidget *widget);

/// Once `widget` has been painted for the first time and that frame has gone out, prints
/// "first-frame <steady clock in nanoseconds>" and ends the process at once, closing and
/// saving nothing.
void reportFirstFrameAndExit(QWidget *widget);
