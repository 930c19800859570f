#pragma once

#include <memory>

namespace orv::chart {

// Lets go of closed workbooks on a thread of its own: freeing the cells of a
// 1,000-task chart takes longer than reading them back, and nothing waits
// for it. What is still queued when the program ends is freed then.
void disposeInBackground(std::shared_ptr<void> closed);

} // namespace orv::chart
