#pragma once

#include <QSharedData>

#include <vector>

namespace platform::coredata {

class ManagedObject;

// The objects one fetch handed out as faults, in the fetch's order. Touching one reads
// the values of the batch around it in one go; touching them one after another reads ever
// larger batches, so that going through all of them costs about one pass over the rows.
struct FaultBatch : QSharedData {
    std::vector<ManagedObject*> objects;
    qsizetype batchSize = 0;
    qsizetype lastRead = 0; // how many the last read took
    qsizetype next = -1; // where the last read ended
};

} // namespace platform::coredata
