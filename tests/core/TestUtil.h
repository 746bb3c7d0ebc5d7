#pragma once

#include "draws/Ziehung.h"
#include "tips/TipTable.h"

#include <QString>
#include <QTemporaryDir>
#include <vector>

namespace kwtest {

/** A record with the given date and numbers (eight drawn, two supplementary). */
kw::TZiehung draw(double day, std::initializer_list<int> numbers);

/** Daily draws from 07.08.2015 on: eight different numbers ascending and two more, from a fixed seed. */
std::vector<kw::TZiehung> dailyDraws(int count, unsigned seed);

/** The eight cells of a tip row, joined by commas. */
QString tipOf(const kw::TipTable& t, int row);

/** Writes the records to a new history file at path. */
void writeHistory(const QString& path, const std::vector<kw::TZiehung>& records);

} // namespace kwtest
