// Where the desktop keeps the user's associations, launchers and MIME types.
#pragma once

#include <string>
#include <vector>

struct XdgPlaces {
  std::string config_home;             // $XDG_CONFIG_HOME, else ~/.config
  std::string data_home;               // $XDG_DATA_HOME, else ~/.local/share
  std::vector<std::string> data_dirs;  // $XDG_DATA_DIRS, else /usr/local/share:/usr/share

  static XdgPlaces FromEnvironment();

  std::string MimeAppsList() const { return config_home + "/mimeapps.list"; }
  std::string Applications() const { return data_home + "/applications"; }
  std::string MimeDatabase() const { return data_home + "/mime"; }
};
