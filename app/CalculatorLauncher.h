#pragma once

#include <QString>
#include <QStringList>

// The programs the calculator command tries, in order: the companion calculator "dadazoz" by its
// bare name, then the desktop's calculators by full path.
QStringList CalculatorPrograms();

// Where a program of the list is started from: a bare name is looked up in the working directory
// and then on PATH; a path is taken as it is. Empty when there is no executable file there.
QString ResolveCalculator(const QString& program);

// Starts the first of `programs` that starts, without arguments and without waiting for it.
// After the last one has failed, shows "dadazoz.exeを用意してください" and returns false.
bool LaunchCalculator(const QStringList& programs = CalculatorPrograms());
