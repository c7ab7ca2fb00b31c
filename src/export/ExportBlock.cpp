#include "export/ExportBlock.h"

namespace brivano::exporter {

void ExportBlock::addProblem(const LineProblem& problem) {
    ++problemCount;
    for (const std::int32_t column : problem.columns) {
        if (column >= 0 && static_cast<std::size_t>(column) < columnsConcerned.size())
            columnsConcerned[static_cast<std::size_t>(column)] = true;
    }
    if (problems.size() < kKeptProblems)
        problems.push_back(problem);
}

}  // namespace brivano::exporter
