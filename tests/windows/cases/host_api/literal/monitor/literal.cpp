// A library source with a literal of the host's character type. Read by the check's tests, never compiled.
const auto* kName = u"VELT";
