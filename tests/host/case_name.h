// Names a parameterised test after its case's `name` field.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace trunpax::testing {

struct CaseName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return info.param.name;
    }
};

}  // namespace trunpax::testing
