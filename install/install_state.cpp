#include "install/install_protocol.h"

std::atomic<int> installState{Ready};
