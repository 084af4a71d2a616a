# Makes subject.onnx: a stand-in for the subject model with its inputs and outputs. A red
# subject (red well above green) scores near 1, anything else near 0.
# Run with python3-onnx: /usr/bin/python3 make-subject-model.py subject.onnx
import sys
import numpy as np
import onnx
from onnx import TensorProto, helper, numpy_helper
weights = numpy_helper.from_array(np.array([[[[8.0]], [[-8.0]], [[0.0]]]], dtype=np.float32), "w")
bias = numpy_helper.from_array(np.array([-2.0], dtype=np.float32), "b")
graph = helper.make_graph(
    [helper.make_node("Conv", ["input", "w", "b"], ["logit"], kernel_shape=[1, 1]), helper.make_node("Sigmoid", ["logit"], ["output"])],
    "subject",
    [helper.make_tensor_value_info("input", TensorProto.FLOAT, [1, 3, 1024, 1024])],
    [helper.make_tensor_value_info("output", TensorProto.FLOAT, [1, 1, 1024, 1024])],
    [weights, bias])
model = helper.make_model(graph, opset_imports=[helper.make_opsetid("", 11)])
model.ir_version = 7
onnx.checker.check_model(model)
onnx.save(model, sys.argv[1])
