#include "directory/server_catalogue.h"

ServerCatalogue& Catalogue() {
  static ServerCatalogue catalogue;
  return catalogue;
}

std::string CountryName(int country) {
  switch (country) {
    case 1: return "United States";
    case 2: return "United Kingdom";
    default: return "Unknown";
  }
}
