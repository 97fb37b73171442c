// The reference tables of tests/data as rows of doubles: a header line, then
// comma-separated values (strtod, so that subnormals parse without a throw).
// VORLAN_TEST_DATA_DIR names the folder.
#ifndef VORLAN_TESTS_REFERENCE_TABLE_HPP
#define VORLAN_TESTS_REFERENCE_TABLE_HPP

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vorlan_test {

inline std::vector<std::vector<double>> read_table(const std::string& name) {
  std::vector<std::vector<double>> rows;
  std::ifstream in(std::string(VORLAN_TEST_DATA_DIR) + "/" + name);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::vector<double> row;
    for (std::string f; std::getline(fields, f, ',');)
      row.push_back(std::strtod(f.c_str(), nullptr));
    rows.push_back(row);
  }
  return rows;
}

}  // namespace vorlan_test

#endif
