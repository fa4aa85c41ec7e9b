// A module's generated code may refer to a class that its headers only declare (one from another
// module); the class is then found through that class's own generated code when the program links.
#include "UObject/GeneratedCppIncludes.h"

#include <gtest/gtest.h>

class UTestPublisher;

TEST(ForwardDeclaration, AnObjectPropertyOfADeclaredOnlyClassResolvesItsClass)
{
	static_assert(!UE::CodeGen::Private::TIsComplete<UTestPublisher>::value, "this test needs the class to stay incomplete here");
	FProperty* Property = UE::CodeGen::Private::CreateProperty<TObjectPtr<UTestPublisher>>(nullptr, FName(TEXT("Publisher")), CPF_None, 0);
	FObjectProperty* ObjectProperty = CastField<FObjectProperty>(Property);
	ASSERT_NE(ObjectProperty, nullptr);
	EXPECT_EQ(ObjectProperty->PropertyClass, FindFirstObject<UClass>(TEXT("TestPublisher")));

	const TObjectPtr<UTestPublisher> Value;
	EXPECT_EQ(ObjectProperty->GetObjectPropertyValue(&Value), nullptr);
	delete Property;
}
