#pragma once

#include <QString>

#include <cstddef>

namespace durnmoor {

class TrailModel;

// Writes the model's rows, in their order, as a CSV file at path, replacing it only once it
// is whole. Empty when written, with rows telling how many; otherwise why not, and a file
// already at path is as it was.
QString write_trail_csv(const TrailModel &model, const QString &path, std::size_t &rows);

} // namespace durnmoor
