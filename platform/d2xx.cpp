#include "platform/d2xx.h"

#include "platform/d2xx_simulated.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace spirelo {

namespace {
std::mutex g_mutex;
std::shared_ptr<D2xx> g_d2xx;

std::shared_ptr<D2xx> FromEnvironment() {
    const char* env = std::getenv("SPIRELO_USB");
    std::string v = env ? env : "";
    if (v == "simulated") return std::make_shared<SimulatedD2xx>();
    if (v.rfind("simulated:", 0) == 0) return std::make_shared<SimulatedD2xx>("SIM00001", v.substr(10));
    if (!v.empty()) std::fprintf(stderr, "SPIRELO_USB=%s not understood; using the USB devices\n", v.c_str());
    return MakeLibFtdiD2xx();
}
}  // namespace

D2xx& D2xxInstance() {
    std::lock_guard lock(g_mutex);
    if (!g_d2xx) g_d2xx = FromEnvironment();
    return *g_d2xx;
}

void InstallD2xx(std::shared_ptr<D2xx> d2xx) {
    std::lock_guard lock(g_mutex);
    g_d2xx = std::move(d2xx);
}

}  // namespace spirelo
