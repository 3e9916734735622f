// Defined here rather than inline so that the module exports them.
#include "plugin/CNZTPluginInterface.h"

CNZTPluginInterface::CNZTPluginInterface() = default;
CNZTPluginInterface::CNZTPluginInterface(const CNZTPluginInterface&) = default;
CNZTPluginInterface& CNZTPluginInterface::operator=(const CNZTPluginInterface&) = default;
CNZTPluginInterface::~CNZTPluginInterface() = default;
