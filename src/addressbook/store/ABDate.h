#pragma once

// A moment as the store keeps it: seconds after 2001-01-01 00:00:00 GMT, like CFDate.
struct ABDate {
  double SecondsSinceReference = 0;

  friend bool operator==(const ABDate&, const ABDate&) = default;
};
