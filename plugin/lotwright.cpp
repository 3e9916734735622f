#include "plugin/lotwright.h"

#include <stdlib.h>

#include "plugin/host_api.h"
#include "plugin/host_functions.h"
#include "plugin/version.h"

lotwright::lotwright() = default;

lotwright::~lotwright() {
  // After a failed binding the log slot may be null: then there is nowhere to log to.
  if (auto* log_text = host_function<ztLogText_function>(host_api.ztLogText)) log_text("lotwrightplugin finished!");
}

bool lotwright::initPlugin() {
  host_accepted = false;
  if (!bind_host_api()) return false;

  int major = 0;
  int minor = 0;
  int sub_minor = 0;
  host_function<ztGetVersionOfCorvaneZT_function>(host_api.ztGetVersionOfCorvaneZT)(&major, &minor, &sub_minor);
  if (!version_at_least(major, minor, sub_minor, minimum_host_major, minimum_host_minor, minimum_host_sub_minor)) {
    if (auto* message_box = host_function<ztMessageBox_function>(host_api.ztMessageBox))
      message_box("Can not execute this plugin - CorvaneZT version 2.4.1 or higher required.");
    return false;
  }

  auto* show_log_tab = host_function<ztShowLogTab_function>(host_api.ztShowLogTab);
  auto* log_text = host_function<ztLogText_function>(host_api.ztLogText);
  if (show_log_tab == nullptr || log_text == nullptr) return false;
  show_log_tab();
  log_text("Running lotwrightwizard...");
  host_accepted = true;
  return true;
}

void* lotwright::operator new(size_t size) noexcept { return malloc(size); }

void lotwright::operator delete(void* object) noexcept { free(object); }
