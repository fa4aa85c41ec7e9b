// The macros that declare a delegate type by name, e.g. DECLARE_DELEGATE_OneParam(FOnModChosen, const FString&).
#pragma once

#define DECLARE_DELEGATE(DelegateName) typedef TDelegate<void()> DelegateName
#define DECLARE_DELEGATE_OneParam(DelegateName, Param1Type) typedef TDelegate<void(Param1Type)> DelegateName
#define DECLARE_DELEGATE_TwoParams(DelegateName, Param1Type, Param2Type) typedef TDelegate<void(Param1Type, Param2Type)> DelegateName
#define DECLARE_DELEGATE_ThreeParams(DelegateName, Param1Type, Param2Type, Param3Type) typedef TDelegate<void(Param1Type, Param2Type, Param3Type)> DelegateName
#define DECLARE_DELEGATE_FourParams(DelegateName, Param1Type, Param2Type, Param3Type, Param4Type)                                                              \
	typedef TDelegate<void(Param1Type, Param2Type, Param3Type, Param4Type)> DelegateName
#define DECLARE_DELEGATE_FiveParams(DelegateName, Param1Type, Param2Type, Param3Type, Param4Type, Param5Type)                                                  \
	typedef TDelegate<void(Param1Type, Param2Type, Param3Type, Param4Type, Param5Type)> DelegateName

#define DECLARE_DELEGATE_RetVal(ReturnValueType, DelegateName) typedef TDelegate<ReturnValueType()> DelegateName
#define DECLARE_DELEGATE_RetVal_OneParam(ReturnValueType, DelegateName, Param1Type) typedef TDelegate<ReturnValueType(Param1Type)> DelegateName
#define DECLARE_DELEGATE_RetVal_TwoParams(ReturnValueType, DelegateName, Param1Type, Param2Type)                                                               \
	typedef TDelegate<ReturnValueType(Param1Type, Param2Type)> DelegateName
#define DECLARE_DELEGATE_RetVal_ThreeParams(ReturnValueType, DelegateName, Param1Type, Param2Type, Param3Type)                                                 \
	typedef TDelegate<ReturnValueType(Param1Type, Param2Type, Param3Type)> DelegateName
#define DECLARE_DELEGATE_RetVal_FourParams(ReturnValueType, DelegateName, Param1Type, Param2Type, Param3Type, Param4Type)                                      \
	typedef TDelegate<ReturnValueType(Param1Type, Param2Type, Param3Type, Param4Type)> DelegateName

#define DECLARE_MULTICAST_DELEGATE(DelegateName) typedef TMulticastDelegate<void()> DelegateName
#define DECLARE_MULTICAST_DELEGATE_OneParam(DelegateName, Param1Type) typedef TMulticastDelegate<void(Param1Type)> DelegateName
#define DECLARE_MULTICAST_DELEGATE_TwoParams(DelegateName, Param1Type, Param2Type) typedef TMulticastDelegate<void(Param1Type, Param2Type)> DelegateName
#define DECLARE_MULTICAST_DELEGATE_ThreeParams(DelegateName, Param1Type, Param2Type, Param3Type)                                                               \
	typedef TMulticastDelegate<void(Param1Type, Param2Type, Param3Type)> DelegateName
#define DECLARE_MULTICAST_DELEGATE_FourParams(DelegateName, Param1Type, Param2Type, Param3Type, Param4Type)                                                    \
	typedef TMulticastDelegate<void(Param1Type, Param2Type, Param3Type, Param4Type)> DelegateName

// Included last so that this header alone also declares the delegate types the macros name.
#include "Delegates/Delegate.h"
