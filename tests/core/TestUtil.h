#pragma once

#include "draws/Ziehung.h"

#include <QString>
#include <QTemporaryDir>
#include <vector>

namespace kwtest {

/** A record with the given date and numbers (eight drawn, two supplementary). */
kw::TZiehung draw(double day, std::initializer_list<int> numbers);

/** Writes the records to a new history file at path. */
void writeHistory(const QString& path, const std::vector<kw::TZiehung>& records);

} // namespace kwtest
