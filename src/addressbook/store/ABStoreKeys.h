#pragma once

#include <cstdint>
#include <string_view>

// The fixed property keys, dictionary keys and label constants of the address-book store. Each
// constant is named after its key: k + key + Property.
namespace abstore {

// Person keys holding text.
inline constexpr std::string_view kFirstPhoneticProperty = "FirstPhonetic";
inline constexpr std::string_view kMiddlePhoneticProperty = "MiddlePhonetic";
inline constexpr std::string_view kLastPhoneticProperty = "LastPhonetic";
inline constexpr std::string_view kTitleProperty = "Title";
inline constexpr std::string_view kFirstProperty = "First";
inline constexpr std::string_view kMiddleProperty = "Middle";
inline constexpr std::string_view kLastProperty = "Last";
inline constexpr std::string_view kSuffixProperty = "Suffix";
inline constexpr std::string_view kNicknameProperty = "Nickname";
inline constexpr std::string_view kJobTitleProperty = "JobTitle";
inline constexpr std::string_view kABDepartmentProperty = "ABDepartment";
inline constexpr std::string_view kOrganizationProperty = "Organization";
inline constexpr std::string_view kMaidenNameProperty = "MaidenName";
inline constexpr std::string_view kHomePageProperty = "HomePage";
inline constexpr std::string_view kNoteProperty = "Note";

// Person key holding a date.
inline constexpr std::string_view kBirthdayProperty = "Birthday";

// Person keys holding a multi-value of texts.
inline constexpr std::string_view kPhoneProperty = "Phone";
inline constexpr std::string_view kEmailProperty = "Email";
inline constexpr std::string_view kURLsProperty = "URLs";
inline constexpr std::string_view kABRelatedNamesProperty = "ABRelatedNames";
inline constexpr std::string_view kAIMInstantProperty = "AIMInstant";
inline constexpr std::string_view kICQInstantProperty = "ICQInstant";
inline constexpr std::string_view kJabberInstantProperty = "JabberInstant";
inline constexpr std::string_view kMSNInstantProperty = "MSNInstant";
inline constexpr std::string_view kYahooInstantProperty = "YahooInstant";

// Person key holding a multi-value of dates.
inline constexpr std::string_view kABDateProperty = "ABDate";

// Person key holding a multi-value of address dictionaries.
inline constexpr std::string_view kAddressProperty = "Address";

// Person key holding a 32-bit number.
inline constexpr std::string_view kABPersonFlagsProperty = "ABPersonFlags";

// Group key holding text.
inline constexpr std::string_view kGroupNameProperty = "GroupName";

// Keys of an address dictionary.
inline constexpr std::string_view kStreetKey = "Street";
inline constexpr std::string_view kCityKey = "City";
inline constexpr std::string_view kStateKey = "State";
inline constexpr std::string_view kZIPKey = "ZIP";
inline constexpr std::string_view kCountryKey = "Country";

// Labels the store knows; any other label is plain text.
inline constexpr std::string_view kWorkLabel = "_$!<Work>!$_";
inline constexpr std::string_view kHomeLabel = "_$!<Home>!$_";
inline constexpr std::string_view kOtherLabel = "_$!<Other>!$_";
inline constexpr std::string_view kMainLabel = "_$!<Main>!$_";
inline constexpr std::string_view kMobileLabel = "_$!<Mobile>!$_";
inline constexpr std::string_view kPagerLabel = "_$!<Pager>!$_";
inline constexpr std::string_view kWorkFAXLabel = "_$!<WorkFAX>!$_";
inline constexpr std::string_view kHomeFAXLabel = "_$!<HomeFAX>!$_";
inline constexpr std::string_view kHomePageLabel = "_$!<HomePage>!$_";

// ABPersonFlags: the show-as bits and the value that shows a person as a company.
inline constexpr std::int32_t kShowAsMask = 7;
inline constexpr std::int32_t kShowAsPerson = 0;
inline constexpr std::int32_t kShowAsCompany = 1;

}  // namespace abstore
