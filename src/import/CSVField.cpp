#include "import/CSVField.h"

#include <utility>

CSVField::CSVField(std::string name, std::string value)
    : mName(std::move(name)), mValue(std::move(value)) {}
