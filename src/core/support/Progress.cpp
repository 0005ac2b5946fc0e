#include "core/support/Progress.h"

namespace tl {
namespace {
class SilentProgress : public Progress {
public:
    void show(const QString&, int) override {}
    void step(int) override {}
    void advance(int) override {}
    void close() override {}
};
} // namespace

Progress& Progress::silent() {
    static SilentProgress p;
    return p;
}

} // namespace tl
