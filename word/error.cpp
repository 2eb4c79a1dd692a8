#include "word/automation.h"

namespace word {

Error::Error(QString message, int number)
    : message_(std::move(message)), number_(number), utf8_(message_.toStdString()) {}

}  // namespace word
